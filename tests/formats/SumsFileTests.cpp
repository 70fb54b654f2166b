// The sums file reader on byte strings: both forms, the lines it must refuse, and its limits.

#include "formats/SumsFile.h"
#include "tests/support/SumsText.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korrimat {
namespace {

using testing::kEmptyMd5;
using testing::kEmptySha1;
using testing::kEmptySha256;
using testing::PaddedWithComments;

SumsFile Read(std::string_view text, std::string_view fileName = "SHA256SUMS")
{
    const std::vector<std::uint8_t> bytes(text.begin(), text.end());
    return ReadSumsFile(bytes, fileName);
}

// Each entry as "line key digits name", so that a failure shows what was read.
std::vector<std::string> Entries(const SumsFile& file)
{
    std::vector<std::string> texts;
    for (const SumsEntry& entry : file.entries)
        texts.push_back(std::to_string(entry.line) + " " + std::string(KindOf(entry.algorithm).key) + " " +
                        entry.digits + " " + entry.name);
    return texts;
}

std::string Upper(std::string_view text)
{
    std::string upper(text);
    for (char& c : upper)
        c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    return upper;
}

const std::string kSha256(kEmptySha256);
const std::string kMd5(kEmptyMd5);
const SumsFile kTooLarge{SumsFile::State::TooLarge, {}, 0};

TEST(SumsFile, ReadsTheGnuFormInEachMarking)
{
    const SumsFile file = Read("# made by sha256sum\n"
                               "\n"
                               + kSha256 + "  text file.txt\n"
                               + Upper(kSha256) + " *binary.exe\n"
                               + kSha256 + " one space.txt\n"
                               + kSha256 + "  ./sub/kept.txt\n");
    EXPECT_EQ(file.state, SumsFile::State::Read);
    EXPECT_EQ(Entries(file), (std::vector<std::string>{
                                 "3 sha256 " + kSha256 + " text file.txt",
                                 "4 sha256 " + kSha256 + " binary.exe",
                                 "5 sha256 " + kSha256 + " one space.txt",
                                 "6 sha256 " + kSha256 + " ./sub/kept.txt",
                             }));
    EXPECT_EQ(file.unreadableLines, 0u);
}

TEST(SumsFile, GnuDigitsMustFitTheNamesAlgorithmOrElseSomeAlgorithm)
{
    const std::string text = kMd5 + "  short.txt\n" + kSha256 + "  long.txt\n";
    EXPECT_EQ(Entries(Read(text, "SHA256SUMS")), (std::vector<std::string>{"2 sha256 " + kSha256 + " long.txt"}));
    EXPECT_EQ(Read(text, "SHA256SUMS").unreadableLines, 1u);
    EXPECT_EQ(Entries(Read(text, "C:\\downloads\\file.MD5")), (std::vector<std::string>{"1 md5 " + kMd5 + " short.txt"}));
    // A name that gives no algorithm: the count decides, and 63 digits fit none.
    const SumsFile byCount = Read(text + kSha256.substr(1) + "  odd.txt\n", "CHECKSUMS");
    EXPECT_EQ(Entries(byCount), (std::vector<std::string>{"1 md5 " + kMd5 + " short.txt",
                                                         "2 sha256 " + kSha256 + " long.txt"}));
    EXPECT_EQ(byCount.unreadableLines, 1u);
}

TEST(SumsFile, ReadsTheBsdFormWhoseTagDecides)
{
    const SumsFile file = Read("SHA256 (a (b) = c.txt) = " + Upper(kSha256) + "\n"
                               "MD5 (old name.txt) = " + kMd5 + "\n"
                               "sha-1 (lower.txt) = " + std::string(kEmptySha1) + "\n"
                               "SHA512 (wrong length.txt) = " + kSha256 + "\n"
                               "WHIRLPOOL (unknown.txt) = " + kSha256 + "\n"
                               "SHA256 () = " + kSha256 + "\n",
                               "SHA256SUMS");
    EXPECT_EQ(Entries(file), (std::vector<std::string>{
                                 "1 sha256 " + kSha256 + " a (b) = c.txt",
                                 "2 md5 " + kMd5 + " old name.txt",
                                 "3 sha1 " + std::string(kEmptySha1) + " lower.txt",
                             }));
    EXPECT_EQ(file.unreadableLines, 3u);
}

TEST(SumsFile, ReadsCrlfLinesAfterAByteOrderMark)
{
    const std::string lines = kSha256 + "  gnu.txt\nSHA256 (bsd.txt) = " + kSha256 + "\n";
    std::string crlf = "\xEF\xBB\xBF";
    for (const char c : lines)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(Read(crlf), Read(lines));
    EXPECT_EQ(Read(crlf).entries.size(), 2u);
}

TEST(SumsFile, DamagedBytesAreUnreadableLinesAroundGoodOnes)
{
    std::string text;
    for (int byte = 0; byte < 256; ++byte)
        text += static_cast<char>(byte);
    text += "\n" + kSha256 + std::string("  zero\0byte.txt\n", 16) + kSha256 + "  good.txt";  // no newline at the end
    const SumsFile file = Read(text);
    EXPECT_EQ(Entries(file), (std::vector<std::string>{"4 sha256 " + kSha256 + " good.txt"}));
    EXPECT_EQ(file.unreadableLines, 3u);  // the bytes before and after the LF among them, and the zero byte's line
    EXPECT_EQ(Read(""), SumsFile{});
}

TEST(SumsFile, ALongLineOrALargeFileIsNotRead)
{
    const std::string good = kSha256 + "  good.txt\n";
    EXPECT_EQ(Read(good + std::string(10'000, 'x') + "\n"), kTooLarge);
    // Characters, not bytes: 4,096 Greek letters are a line of 8,192 bytes.
    std::string greek;
    for (std::size_t i = 0; i < kSumsLineLongest; ++i)
        greek += "\xCE\xB1";
    EXPECT_EQ(Read(good + greek + "\r\n").state, SumsFile::State::Read);
    EXPECT_EQ(Read(good + greek + "a").state, SumsFile::State::TooLarge);

    const SumsFile largest = Read(PaddedWithComments(good, kSumsFileLargest));
    EXPECT_EQ(largest.state, SumsFile::State::Read);
    EXPECT_EQ(largest.entries.size(), 1u);
    EXPECT_EQ(Read(PaddedWithComments(good, kSumsFileLargest + 1)), kTooLarge);
}

TEST(SumsFile, KnowsTheSumsFilesNames)
{
    for (const std::string_view name : {"SHA256SUMS", "sha512sums", "Sha1Sums", "MD5SUMS", "setup.exe.sha256",
                                        "x.SHA512", "x.Sha1", "x.md5", "C:\\downloads\\SHA256SUMS"})
        EXPECT_TRUE(IsSumsFileName(name)) << name;
    for (const std::string_view name : {"SHA256SUMS.txt", "SHA384SUMS", "x.sha384", "md5", "x.md5.txt", "SUMS", ""})
        EXPECT_FALSE(IsSumsFileName(name)) << name;
    EXPECT_EQ(SumsFileAlgorithm("SHA1SUMS"), HashAlgorithm::Sha1);
    EXPECT_EQ(SumsFileAlgorithm("a.Sha512"), HashAlgorithm::Sha512);
    EXPECT_EQ(SumsFileAlgorithm("CHECKSUMS"), std::nullopt);
}

} // namespace
} // namespace korrimat
