#include "tagtext/stored_file.h"

#include "tagtext/substitution_tables.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zx {

namespace {

using Map = const std::uint8_t*;

std::vector<Map> mapsForKey(const SubstitutionTables& tables, std::string_view key, bool forward)
{
    std::vector<Map> maps(key.size());
    for (std::size_t j = 0; j < key.size(); ++j) {
        const int alphabet = tables.alphabetOfKeyByte(static_cast<unsigned char>(key[j]));
        maps[j] = forward ? tables.forwardMap(alphabet) : tables.backwardMap(alphabet);
    }
    return maps;
}

// out[i] = maps[(phase + i) mod L][in[i]] for n bytes: one table step per
// byte, walked key-length block by block so the inner loop has no wrap test.
void applyMaps(const std::vector<Map>& maps, std::size_t phase, const char* in, char* out, std::size_t n)
{
    const std::size_t length = maps.size();
    const Map* m = maps.data();
    std::size_t i = 0;
    // Finish the partly used key first.
    std::size_t j = phase % length;
    if (j != 0) {
        const std::size_t first = std::min(n, length - j);
        for (std::size_t k = 0; k < first; ++k)
            out[k] = static_cast<char>(m[j + k][static_cast<unsigned char>(in[k])]);
        i = first;
    }
    while (i + length <= n) {
        const char* src = in + i;
        char* dst = out + i;
        for (std::size_t k = 0; k < length; ++k)
            dst[k] = static_cast<char>(m[k][static_cast<unsigned char>(src[k])]);
        i += length;
    }
    for (std::size_t k = 0; i < n; ++i, ++k)
        out[i] = static_cast<char>(m[k][static_cast<unsigned char>(in[i])]);
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

RandomSource defaultRandom()
{
    auto engine = std::make_shared<std::mt19937>();
    std::random_device device;
    const auto now = static_cast<std::uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    std::seed_seq seq{device(), device(), now};
    engine->seed(seq);
    return [engine] { return static_cast<std::uint32_t>((*engine)()); };
}

bool writeAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

} // namespace

std::string substituteWith(const SubstitutionTables& tables, std::string_view text, std::string_view key,
                           bool forward)
{
    std::string out(text.size(), '\0');
    if (key.empty()) {
        out.assign(text);
        return out;
    }
    applyMaps(mapsForKey(tables, key, forward), 0, text.data(), out.data(), text.size());
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

std::string substituteForward(std::string_view text, std::string_view key) { return substitute(text, key, true); }

std::string substituteBackward(std::string_view text, std::string_view key) { return substitute(text, key, false); }

std::string scrambleText(std::string_view content, int column)
{
    return scrambleText(content, column, defaultRandom());
}

std::string scrambleText(std::string_view content, int column, const RandomSource& random)
{
    const SubstitutionTables& tables = SubstitutionTables::instance();
    const std::string& base = tables.baseAlphabet();
    std::string fileKey(perFileKeyLength, ' ');
    for (char& c : fileKey)
        c = base[random() % 92];

    std::string inner;
    inner.reserve(storedFileOverhead + content.size());
    inner += storedFileMarker;
    inner += fileKey;
    inner.resize(storedFileOverhead + content.size());
    applyMaps(mapsForKey(tables, fileKey, true), 0, content.data(), inner.data() + storedFileOverhead,
              content.size());

    const std::string& outer = outerKey(column, static_cast<int>(random() % 5));
    std::string stored(inner.size(), '\0');
    applyMaps(mapsForKey(tables, outer, true), 0, inner.data(), stored.data(), inner.size());
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

    const std::vector<Map> outer = mapsForKey(tables, outerKey(column, row), false);
    std::string fileKey(perFileKeyLength, '\0');
    applyMaps(outer, markerLength, stored.data() + markerLength, fileKey.data(), perFileKeyLength);
    const std::vector<Map> inner = mapsForKey(tables, fileKey, false);

    // Both layers, a cache-sized chunk at a time.
    const std::size_t contentLength = stored.size() - storedFileOverhead;
    std::string content(contentLength, '\0');
    constexpr std::size_t chunk = 64 * 1024;
    for (std::size_t done = 0; done < contentLength; done += chunk) {
        const std::size_t n = std::min(chunk, contentLength - done);
        char* out = content.data() + done;
        applyMaps(outer, storedFileOverhead + done, stored.data() + storedFileOverhead + done, out, n);
        applyMaps(inner, done, out, out, n);
    }
    return content;
}

bool writeStoredFile(std::string_view content, const std::string& path)
{
    return writeStoredFile(content, path, defaultRandom());
}

bool writeStoredFile(std::string_view content, const std::string& path, const RandomSource& random)
{
    if (path.empty())
        return false;
    std::string scrambled;
    if (!isPlainTextPath(path)) {
        scrambled = scrambleText(content, storedFileColumn(path), random);
        content = scrambled;
    }
    // Write beside the target and rename over it: the old file stays
    // whole until the new one is complete.
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = path + ".zxtmp" + std::to_string(random() % 1000000u);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;
    bool ok = writeAll(fd, content.data(), content.size());
    ok = (::fsync(fd) == 0) && ok;
    ok = (::close(fd) == 0) && ok;
    if (ok)
        ok = ::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok)
        ::unlink(temporary.c_str());
    return ok;
}

std::string readStoredFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
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
    for (char c : storedName) {
        if (c == '\\') {
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
