#include "tagtext/stored_file.h"

#include "tagtext/replacing_file.h"
#include "tagtext/substitution_tables.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <vector>


namespace zx {

namespace {

// One layer of a running key: for each key position the offset of its
// alphabet's byte map in the flat table of all maps (95 x 256 bytes, small
// enough to stay in the first-level cache), followed by the first 8
// offsets again so that 8 positions can be read without a wrap test.
struct Layer {
    const std::uint8_t* maps = nullptr;
    std::vector<std::uint16_t> offsets;
    std::size_t length = 0;
};

Layer layerFor(const SubstitutionTables& tables, std::string_view key, bool forward)
{
    Layer layer;
    layer.maps = forward ? tables.forwardMaps() : tables.backwardMaps();
    layer.length = key.size();
    layer.offsets.resize(key.size() + 8);
    for (std::size_t j = 0; j < key.size() + 8; ++j) {
        const unsigned char keyByte = static_cast<unsigned char>(key[j % key.size()]);
        layer.offsets[j] = static_cast<std::uint16_t>(tables.alphabetOfKeyByte(keyByte) * 256);
    }
    return layer;
}

void advance(std::size_t& k, std::size_t step, std::size_t length)
{
    k += step;
    while (k >= length)
        k -= length;
}

// out[i] = second(first(in[i])), where each layer uses its key position
// (phase + i) mod length; `second` may be null for a single layer.  Eight
// bytes a round, one table load per byte and layer.
void applyLayers(const Layer& first, std::size_t firstPhase, const Layer* second, std::size_t secondPhase,
                 const char* in, char* out, std::size_t n)
{
    std::size_t k1 = firstPhase % first.length;
    std::size_t k2 = second ? secondPhase % second->length : 0;
    const std::uint8_t* m1 = first.maps;
    const std::uint16_t* o1 = first.offsets.data();
    const std::uint8_t* m2 = second ? second->maps : nullptr;
    const std::uint16_t* o2 = second ? second->offsets.data() : nullptr;
    const auto* src = reinterpret_cast<const unsigned char*>(in);
    std::size_t i = 0;
    if (second) {
        for (; i + 8 <= n; i += 8) {
            const std::uint16_t* p1 = o1 + k1;
            const std::uint16_t* p2 = o2 + k2;
#pragma GCC unroll 8
            for (unsigned t = 0; t < 8; ++t)
                out[i + t] = static_cast<char>(m2[p2[t] + m1[p1[t] + src[i + t]]]);
            advance(k1, 8, first.length);
            advance(k2, 8, second->length);
        }
    } else {
        for (; i + 8 <= n; i += 8) {
            const std::uint16_t* p1 = o1 + k1;
#pragma GCC unroll 8
            for (unsigned t = 0; t < 8; ++t)
                out[i + t] = static_cast<char>(m1[p1[t] + src[i + t]]);
            advance(k1, 8, first.length);
        }
    }
    for (; i < n; ++i) {
        unsigned c = m1[o1[k1] + src[i]];
        advance(k1, 1, first.length);
        if (second) {
            c = m2[o2[k2] + c];
            advance(k2, 1, second->length);
        }
        out[i] = static_cast<char>(c);
    }
}

std::string substitute(std::string_view text, std::string_view key, bool forward)
{
    return substituteWith(SubstitutionTables::instance(), text, key, forward);
}

const std::string& outerKey(int column, int row)
{
    if (column < 0 || column >= SubstitutionTables::columns)
        column = 0;
    return SubstitutionTables::instance().fileKey(column, row);
}

} // namespace

std::string substituteWith(const SubstitutionTables& tables, std::string_view text, std::string_view key,
                           bool forward)
{
    if (key.empty())
        return std::string(text);
    std::string out(text.size(), '\0');
    applyLayers(layerFor(tables, key, forward), 0, nullptr, 0, text.data(), out.data(), text.size());
    return out;
}

std::string lowerExtension(std::string_view path)
{
    const std::size_t slash = path.find_last_of("/\\");
    const std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return {};
    std::string ext(path.substr(dot));
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return ext;
}

int storedFileColumn(std::string_view path)
{
    const std::string ext = lowerExtension(path);
    if (ext == ".zxl")
        return 1;
    if (ext == ".zxs")
        return 2;
    if (ext == ".zxb")
        return 3;
    if (ext == ".zxr")
        return 4;
    if (ext == ".zxc")
        return 5;
    return 0;
}

bool isPlainTextPath(std::string_view path) { return lowerExtension(path) == ".txt"; }

RandomSource clockSeededRandom()
{
    auto engine = std::make_shared<std::mt19937>();
    std::random_device device;
    const auto now = static_cast<std::uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    std::seed_seq seq{device(), device(), now};
    engine->seed(seq);
    return [engine] { return static_cast<std::uint32_t>((*engine)()); };
}

std::string substituteForward(std::string_view text, std::string_view key) { return substitute(text, key, true); }

std::string substituteBackward(std::string_view text, std::string_view key) { return substitute(text, key, false); }

std::string scrambleText(std::string_view content, int column)
{
    return scrambleText(content, column, clockSeededRandom());
}

std::string scrambleText(std::string_view content, int column, const RandomSource& random)
{
    const SubstitutionTables& tables = SubstitutionTables::instance();
    const std::string& base = tables.baseAlphabet();
    std::string fileKey(perFileKeyLength, ' ');
    for (char& c : fileKey)
        c = base[random() % 92];

    // Marker and per-file key take the outer layer only; the content takes
    // the per-file key, then the outer key, in one pass.
    const Layer inner = layerFor(tables, fileKey, true);
    const Layer outer = layerFor(tables, outerKey(column, static_cast<int>(random() % 5)), true);
    std::string head;
    head += storedFileMarker;
    head += fileKey;
    std::string stored(storedFileOverhead + content.size(), '\0');
    applyLayers(outer, 0, nullptr, 0, head.data(), stored.data(), storedFileOverhead);
    applyLayers(inner, 0, &outer, storedFileOverhead, content.data(), stored.data() + storedFileOverhead,
                content.size());
    return stored;
}

std::string unscrambleText(std::string_view stored, int column)
{
    const SubstitutionTables& tables = SubstitutionTables::instance();
    // Find the outer key on the marker alone before decoding the whole text.
    const std::size_t markerLength = storedFileMarker.size();
    const std::string_view head = stored.substr(0, markerLength);
    int row = 4;
    for (int k = 0; k < 5; ++k) {
        if (head.size() == markerLength &&
            substituteWith(tables, head, outerKey(column, k), false) == storedFileMarker) {
            row = k;
            break;
        }
    }
    if (stored.size() <= storedFileOverhead)
        return {};

    const Layer outer = layerFor(tables, outerKey(column, row), false);
    std::string fileKey(perFileKeyLength, '\0');
    applyLayers(outer, markerLength, nullptr, 0, stored.data() + markerLength, fileKey.data(), perFileKeyLength);
    const Layer inner = layerFor(tables, fileKey, false);

    std::string content(stored.size() - storedFileOverhead, '\0');
    applyLayers(outer, storedFileOverhead, &inner, 0, stored.data() + storedFileOverhead, content.data(),
                content.size());
    return content;
}

bool writeStoredFile(std::string_view content, const std::string& path)
{
    return writeStoredFile(content, path, clockSeededRandom());
}

bool writeStoredFile(std::string_view content, const std::string& path, const RandomSource& random)
{
    return writeStoredFile(content, path, random, nullptr);
}

bool writeStoredFile(std::string_view content, const std::string& path, const RandomSource& random,
                     std::string* error)
{
    if (path.empty()) {
        if (error)
            *error = "no file name";
        return false;
    }
    std::string scrambled;
    if (!isPlainTextPath(path)) {
        scrambled = scrambleText(content, storedFileColumn(path), random);
        content = scrambled;
    }
    ReplacingFile file(path, random);
    if (file.write(content.data(), content.size()) && file.commit())
        return true;
    if (error)
        *error = file.error();
    return false;
}

std::string readStoredFile(const std::string& path)
{
    return readStoredFile(path, std::numeric_limits<std::uintmax_t>::max()).value_or(std::string());
}

std::optional<std::string> readStoredFile(const std::string& path, std::uintmax_t maxBytes)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return std::string();
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        return std::string();
    // One read of the whole file; a size that cannot be told reads as
    // nothing.
    const std::streamoff size = in.tellg();
    if (size < 0)
        return std::string();
    if (static_cast<std::uintmax_t>(size) > maxBytes)
        return std::nullopt;
    std::string bytes(static_cast<std::size_t>(size), '\0');
    in.seekg(0);
    if (size > 0 && !in.read(bytes.data(), size))
        bytes.resize(static_cast<std::size_t>(std::max<std::streamsize>(0, in.gcount())));
    const std::size_t zero = bytes.find('\0');
    if (zero != std::string::npos)
        bytes.resize(zero);
    if (isPlainTextPath(path))
        return bytes;
    return unscrambleText(bytes, storedFileColumn(path));
}

bool mediaHeaderMatches(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return true;
    char head[5] = {};
    in.read(head, 5);
    const std::size_t got = static_cast<std::size_t>(in.gcount());
    std::size_t length = 0;
    while (length < got && head[length] != '\0')
        ++length;
    int s4 = 0;
    int s2 = 0;
    for (std::size_t i = 0; i < length && i < 4; ++i) {
        const int value = static_cast<signed char>(head[i]);
        s4 += value;
        if (i < 2)
            s2 += value;
    }
    const std::string ext = lowerExtension(path);
    if (ext == ".jpg" || ext == ".jpeg")
        return s4 == -74;
    if (ext == ".bmp")
        return s2 == 143;
    if (ext == ".avi")
        return s4 == 294 || s4 == 295;
    if (ext == ".mp3")
        return s2 == -14;
    if (ext == ".wav")
        return s4 == 295;
    if (ext == ".aif")
        return s4 == 308;
    return true;
}

std::string locateRelativeFile(const std::string& bankPath, const std::string& storedName)
{
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(bankPath).parent_path();

    std::vector<std::string> parts;
    std::string current;
    // Names written on this system separate folders with "/", those of the
    // authoring editor with a backslash; both separate here.
    for (char c : storedName) {
        if (c == '\\' || c == '/') {
            parts.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    const std::string fileName = current;
    // Up to 20 leading folder names; earlier ones are left out of the search.
    if (parts.size() > 20)
        parts.erase(parts.begin(), parts.end() - 20);

    std::error_code error;
    if (!fileName.empty() && fs::exists(folder / fileName, error))
        return fileName;
    std::string name = fileName;
    for (auto it = parts.rbegin(); it != parts.rend(); ++it) {
        if (it->empty())
            continue;
        name = *it + "/" + name;
        if (fs::exists(folder / name, error))
            return name;
    }

    // Not found near the bank: the stored name relative to the bank's folder.
    std::string unix = storedName;
    std::replace(unix.begin(), unix.end(), '\\', '/');
    const bool hasDrive = unix.size() >= 2 && unix[1] == ':';
    if (hasDrive || !fs::path(unix).is_absolute())
        return storedName;
    const fs::path relative = fs::path(unix).lexically_relative(folder);
    return relative.empty() ? storedName : relative.string();
}

} // namespace zx
