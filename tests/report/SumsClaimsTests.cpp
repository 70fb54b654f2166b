// What the sums files beside a file say of it, on a real folder past 260 characters whose names
// are in Greek.

#include "formats/SumsFile.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/UniqueHandle.h"
#include "report/SumsClaims.h"
#include "tests/support/SumsText.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace korrimat {
namespace {

using testing::kEmptyMd5;
using testing::kEmptySha1;
using testing::kEmptySha256;
using testing::MakeFolders;
using testing::PaddedWithComments;
using testing::TempFolder;

std::string Text(const SumsClaim& claim)
{
    const std::string key(KindOf(claim.algorithm).key);
    switch (claim.kind) {
    case SumsClaim::Kind::Hash:
        return claim.sumsFile + " hash " + key + " " + claim.digits;
    case SumsClaim::Kind::DifferentHashes:
        return claim.sumsFile + " different " + key;
    case SumsClaim::Kind::TooLarge:
        return claim.sumsFile + " too large";
    }
    return {};
}

std::vector<std::string> Texts(const std::vector<SumsClaim>& claims)
{
    std::vector<std::string> texts;
    for (const SumsClaim& claim : claims)
        texts.push_back(Text(claim));
    return texts;
}

TEST(SumsClaims, EachSumsFileBesideTheFileSaysWhatItGivesInTheFoldersOrder)
{
    const TempFolder temp("sums");
    const std::string omega = "\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1";
    const std::string omegaUpper = "\xCE\xA9\xCE\x9C\xCE\x88\xCE\x93\xCE\x91";
    const std::string below = std::string(120, 'd') + "\\\xCE\xA6\xCE\xAC\xCE\xBA\xCE\xB5\xCE\xBB\xCE\xBF\xCF\x82 " +
                              std::string(120, 'e');
    ASSERT_TRUE(MakeFolders(temp / below));
    const std::string name = omega + " setup.exe";
    const std::string file = temp.WriteFile(below + "\\" + name, "Korrimat");
    ASSERT_GT(file.size(), 260u);
    const auto write = [&](const std::string& sumsFile, const std::string& text) {
        return temp.WriteFile(below + "\\" + sumsFile, text);
    };
    const std::string sha256(kEmptySha256), md5(kEmptyMd5), sha1(kEmptySha1);

    write("SHA256SUMS", std::string(64, 'a') + "  other.exe\n" + sha256 + "  ./" + omegaUpper + " SETUP.EXE\n" +
                            std::string(64, 'b') + "  sub/" + name + "\n");
    write(name + ".md5", "MD5 (" + name + ") = " + md5 + "\n");
    write("other.sha1", sha1 + "  other.exe\n");
    write("MD5SUMS", md5 + "  " + name + "\n" + std::string(32, 'c') + " *" + name + "\n");
    write("SHA1SUMS", sha1 + "  " + name + "\n" + sha1 + " *" + name + "\nSHA256 (" + name + ") = " + sha256 + "\n");
    write("big.sha512", PaddedWithComments(sha1 + "  " + name + "\n", kSumsFileLargest + 1));
    write("exact.sha256", PaddedWithComments(sha256 + "  " + name + "\n", kSumsFileLargest));
    write("long-line.sha1", sha1 + "  " + name + "\n" + std::string(10'000, 'x') + "\n");
    temp.AddFolder(below + "\\folder.sha256");
    const std::string locked = write("locked.md5", md5 + "  " + name + "\n");
    const UniqueFile holder(::CreateFileW(WidePath(locked).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder);

    EXPECT_EQ(Texts(SumsClaimsFor(file)), (std::vector<std::string>{
                                              "big.sha512 too large",
                                              "exact.sha256 hash sha256 " + sha256,
                                              "long-line.sha1 too large",
                                              "MD5SUMS different md5",
                                              "SHA1SUMS hash sha1 " + sha1,
                                              "SHA1SUMS hash sha256 " + sha256,
                                              "SHA256SUMS hash sha256 " + sha256,
                                              name + ".md5 hash md5 " + md5,
                                          }));
    // A file no sums file names.
    EXPECT_EQ(Texts(SumsClaimsFor(temp.WriteFile(below + "\\unnamed.exe", "Korrimat"))),
              (std::vector<std::string>{"big.sha512 too large", "long-line.sha1 too large"}));
}

} // namespace
} // namespace korrimat
