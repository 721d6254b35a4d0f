#include "testrun/core/bank_settings.h"

#include "tagtext/numbered_tags.h"
#include "tagtext/tagged_text.h"

#include <algorithm>

namespace zx {

PageSize pageSizeForWindowSize(int windowSize)
{
    switch (windowSize) {
    case 1:
        return {800, 600};
    case 2:
        return {1024, 768};
    default:
        return {640, 480};
    }
}

PageSize pageSizeOfQuestionList(std::string_view questionList)
{
    const NumberedTags first(questionList, "questionFile", 1);
    return pageSizeForWindowSize(getTagInt(first.valueView(0), "windowSize", 1));
}

bool hasEmbeddedFiles(std::string_view embeddedFileList) { return embeddedFileList.size() > 4; }

BankSettings BankSettings::parse(std::string_view text)
{
    auto flag = [text](std::string_view key) { return getTagInt(text, key, 0) == 1; };
    BankSettings s;
    s.version = getTagInt(text, "version", 0);
    s.isExam = flag("isExam");
    s.allowMarking = flag("allowMarking");
    s.allowCheating = flag("allowCheating");
    s.showAnswer = flag("ShowAnswer");
    s.allowSaving = flag("allowSaving");
    s.allowPrinting = flag("allowPrinting");
    s.questionPreview = getTagInt(text, "questionPreview", 0);
    s.showBackgroundCover = flag("showBackgroundCover");
    s.shouldUserEnterDetails = getTagInt(text, "shouldUserEnterDetails", 0) != 0;
    for (int i = 0; i < 3; ++i)
        s.userEntryLabels[static_cast<std::size_t>(i)] = getTag(text, "userEntryLabel" + std::to_string(i + 1));
    s.password = getTag(text, "BankPassword");
    s.timeLimitMinutes = std::clamp(getTagInt(text, "timeLimitMinutes", 0), 0, maxTimeLimitMinutes);
    return s;
}

bool BankSettings::hasPassword() const
{
    const std::string filtered = filterPlainText(password);
    return !filtered.empty() && filtered != "0";
}

} // namespace zx
