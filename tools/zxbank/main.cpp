// zxbank: packs question banks from source folders and looks inside banks
// and other stored files.
#include "app/core/program_version.h"
#include "tagtext/stored_file.h"
#include "testrun/core/bank_file.h"
#include "tools/bankimport/import_command.h"
#include "tools/bankpack/bank_packer.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr const char* usageText =
    "usage: zxbank pack SRC_DIR OUT.zxb     build a bank from a source folder\n"
    "       zxbank pack --allow-unplayable SRC_DIR OUT.zxb\n"
    "                                       also build banks the player refuses (no media,\n"
    "                                       no question, version 2 or newer), for tests\n"
    "       zxbank unpack BANK.zxb DIR      write a bank's sources into DIR (new or empty)\n"
    "       zxbank info BANK.zxb            show a bank's settings, pages and embedded files\n"
    "       zxbank cat FILE                 print the content of a stored file\n"
    "                                       (for a bank: its index section)\n"
    "       zxbank store IN.txt OUT         write plain text as a stored file of OUT's type\n"
    "       zxbank --version                show the version\n";

void printUsage(std::ostream& out) { out << usageText << zx::import::importUsage; }

int usage()
{
    printUsage(std::cerr);
    return 2;
}

int fail(const std::string& message)
{
    std::cerr << "zxbank: " << message << '\n';
    return 1;
}

void writeOut(const std::string& bytes)
{
    std::cout.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    std::cout.flush();
}

int pack(const std::string& source, const std::string& bank, bool allowUnplayable)
{
    zx::PackOptions options;
    options.requirePlayable = !allowUnplayable;
    const zx::PackResult result = zx::packBank(source, bank, options);
    if (!result.ok)
        return fail(result.error);
    std::cout << bank << ": " << result.bankSize << " bytes, index length " << result.indexLength << '\n';
    return 0;
}

int unpack(const std::string& bank, const std::string& dir)
{
    const zx::UnpackResult result = zx::unpackBank(bank, dir);
    if (!result.ok)
        return fail(result.error);
    for (const std::string& warning : result.warnings)
        std::cerr << "zxbank: " << bank << ": " << warning << '\n';
    if (!result.warnings.empty())
        return fail(bank + ": unpacked into " + dir + " without " + std::to_string(result.warnings.size())
                    + " embedded file(s)");
    return 0;
}

int info(const std::string& bank)
{
    std::string text;
    std::string error;
    if (!zx::describeBank(bank, text, error))
        return fail(error);
    writeOut(text);
    return 0;
}

int cat(const std::string& path)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return fail(path + ": no such file");
    if (zx::lowerExtension(path) == ".zxb") {
        const zx::BankIndexContent index = zx::readBankIndexContent(path);
        if (index.error != zx::BankReadError::None)
            return fail(path + ": " + zx::bankReadErrorText(index.error));
        writeOut(index.content);
        return 0;
    }
    std::ifstream probe(path, std::ios::binary);
    if (!probe)
        return fail(path + ": cannot be opened for reading");
    writeOut(zx::readStoredFile(path));
    return 0;
}

int store(const std::string& input, const std::string& output)
{
    std::ifstream in(input, std::ios::binary);
    if (!in)
        return fail(input + ": cannot be opened for reading");
    std::ostringstream bytes;
    bytes << in.rdbuf();
    const std::string content = std::move(bytes).str();
    if (content.find('\0') != std::string::npos)
        return fail(input + ": contains a zero byte; stored files end at the first zero byte");
    if (!zx::writeStoredFile(content, output))
        return fail(output + ": cannot be written");
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty())
        return usage();
    const std::string& verb = args[0];
    if ((verb == "-h" || verb == "--help" || verb == "help") && args.size() == 1) {
        printUsage(std::cout);
        return 0;
    }
    if (verb == "--version" && args.size() == 1) {
        std::cout << zx::versionBanner("zxbank");
        return 0;
    }
    if (verb == "pack" && args.size() == 3)
        return pack(args[1], args[2], false);
    if (verb == "pack" && args.size() == 4 && args[1] == "--allow-unplayable")
        return pack(args[2], args[3], true);
    if (verb == "import") {
        const int status = zx::import::runImportCommand({args.begin() + 1, args.end()}, argc, argv);
        if (status == 2)
            return usage();
        return status;
    }
    if (verb == "unpack" && args.size() == 3)
        return unpack(args[1], args[2]);
    if (verb == "info" && args.size() == 2)
        return info(args[1]);
    if (verb == "cat" && args.size() == 2)
        return cat(args[1]);
    if (verb == "store" && args.size() == 3)
        return store(args[1], args[2]);
    return usage();
}
