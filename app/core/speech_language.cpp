#include "app/core/speech_language.h"

#include "tagtext/cp1252.h"

#include <array>
#include <utility>

namespace zx {

namespace {

std::string trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

} // namespace

std::string speechLocaleOf(std::string_view languageName)
{
    // Language names, lower case, in English and in the language itself
    // (Windows-1252 bytes for the accented ones).
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 22> languages{{
        {"english", "en_GB"},    {"german", "de_DE"},     {"deutsch", "de_DE"},   {"french", "fr_FR"},
        {"fran\xe7" "ais", "fr_FR"}, {"spanish", "es_ES"}, {"espa\xf1ol", "es_ES"}, {"italian", "it_IT"},
        {"italiano", "it_IT"},   {"dutch", "nl_NL"},      {"nederlands", "nl_NL"}, {"portuguese", "pt_PT"},
        {"portugu\xeas", "pt_PT"}, {"welsh", "cy_GB"},    {"cymraeg", "cy_GB"},    {"irish", "ga_IE"},
        {"polish", "pl_PL"},     {"polski", "pl_PL"},     {"swedish", "sv_SE"},    {"svenska", "sv_SE"},
        {"danish", "da_DK"},     {"dansk", "da_DK"},
    }};
    // Countries in brackets that change the locale of a language.
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 10> countries{{
        {"uk", "GB"}, {"gb", "GB"}, {"us", "US"}, {"usa", "US"}, {"ireland", "IE"},
        {"australia", "AU"}, {"austria", "AT"}, {"switzerland", "CH"}, {"canada", "CA"}, {"brazil", "BR"},
    }};

    const std::string name = lowerCp1252(std::string(languageName));
    const auto open = name.find('(');
    const std::string language = trimmed(std::string_view(name).substr(0, open));
    std::string country;
    if (open != std::string::npos) {
        const auto close = name.find(')', open);
        country = trimmed(std::string_view(name).substr(open + 1, close == std::string::npos ? std::string::npos
                                                                                             : close - open - 1));
    }
    for (const auto& [known, locale] : languages) {
        if (language != known)
            continue;
        std::string result(locale);
        for (const auto& [place, code] : countries)
            if (country == place)
                result = result.substr(0, 3) + std::string(code);
        return result;
    }
    return {};
}

} // namespace zx
