// The Hashes page through the real window: the four hashes of files the test makes against the
// system's older CryptoAPI, the compare box, the sums files beside a file, another file chosen in
// the real Open dialog, and a large file's progress, stopped by Esc while the window answers.

#include "app/FFileInfo.h"
#include "platform/Text.h"
#include "tests/support/AnswerWatch.h"
#include "tests/support/Paths.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TextFits.h"
#include "tests/support/WindowFixture.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>
#include <dlgs.h>
#include <wincrypt.h>

#include <atomic>
#include <map>
#include <string>
#include <thread>

using namespace korrimat;
using korrimat::testing::Choose;
using korrimat::testing::PumpUntil;

namespace {

// A file's hashes by CryptoAPI (advapi32), apart from the CNG the product uses.
std::map<std::string, std::string> CryptoApiHashes(const std::string& bytes)
{
    std::map<std::string, std::string> hashes;
    HCRYPTPROV provider = 0;
    if (!::CryptAcquireContextW(&provider, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT))
        return hashes;
    for (const auto& [name, algorithm] : {std::pair{"md5", CALG_MD5}, {"sha1", CALG_SHA1}, {"sha256", CALG_SHA_256},
                                          {"sha512", CALG_SHA_512}}) {
        HCRYPTHASH hash = 0;
        BYTE value[64] = {};
        DWORD length = sizeof(value);
        if (::CryptCreateHash(provider, algorithm, 0, 0, &hash) &&
            ::CryptHashData(hash, reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()), 0) &&
            ::CryptGetHashParam(hash, HP_HASHVAL, value, &length, 0)) {
            for (DWORD i = 0; i < length; ++i)
                hashes[name] += HexDigits(value[i], 2, true);
        }
        if (hash)
            ::CryptDestroyHash(hash);
    }
    ::CryptReleaseContext(provider, 0);
    return hashes;
}

// Chooses a file in the Open dialog the window is about to show, from another thread, as a user
// types its path and presses Enter.
class OpenDialogAnswer {
public:
    OpenDialogAnswer(HWND owner, const std::string& path)
        : thread_([this, owner, wide = WideText(path)] {
              HWND dialog = nullptr;
              for (int attempt = 0; attempt < 500 && !answered_; ++attempt) {
                  dialog = ::FindWindowW(L"#32770", nullptr);
                  if (dialog && ::GetWindow(dialog, GW_OWNER) == owner) {
                      // Given a moment to fill itself in before it is answered.
                      ::Sleep(200);
                      // The file name box: a combo box in the Explorer-style dialog, else an edit.
                      if (!::SetDlgItemTextW(dialog, cmb13, wide.c_str()))
                          ::SetDlgItemTextW(dialog, edt1, wide.c_str());
                      ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                      ::Sleep(300);
                      answered_ = !::IsWindow(dialog);
                  }
                  ::Sleep(20);
              }
              // A dialog that would not take the answer must not hold the test for ever.
              if (!answered_ && dialog && ::IsWindow(dialog))
                  ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
          })
    {
    }
    ~OpenDialogAnswer()
    {
        if (thread_.joinable())
            thread_.join();
    }
    // Once the thread has ended: whether the dialog took the answer and closed.
    bool Answered()
    {
        if (thread_.joinable())
            thread_.join();
        return answered_;
    }

private:
    std::atomic<bool> answered_{false};
    std::thread thread_;
};

class HashesPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        window_ = korrimat::testing::OpenWindow();
        ASSERT_TRUE(window_->Created());
        korrimat::testing::BringToFront(*window_);
    }

    // Shows a file and its Hashes page, and lets the hashes be computed.
    void ShowHashes(const std::string& name)
    {
        ASSERT_TRUE(korrimat::testing::OpenFolder(*window_, folder_.Path()));
        ASSERT_TRUE(Choose(*window_, name));
        ASSERT_TRUE(window_->tabInfo.Select(std::string_view("Hashes")));
        ASSERT_TRUE(PumpUntil(*window_, [this] { return !window_->ComputingHashes(); }, 30000));
    }

    std::map<std::string, std::string> PageHashes() const
    {
        return {{"md5", window_->txtMd5.Text()}, {"sha1", window_->txtSha1.Text()},
                {"sha256", window_->txtSha256.Text()}, {"sha512", window_->txtSha512.Text()}};
    }

    void Type(const std::string& text)
    {
        window_->txtCompare.SetText(text);
        korrimat::testing::Pump(window_.get(), 1);
    }

    korrimat::testing::TempFolder folder_{"korrimat-hashes"};
    std::unique_ptr<FFileInfo> window_;
};

TEST_F(HashesPage, TheFourHashesOfEveryFileAreThoseAnotherImplementationGives)
{
    std::string large(1 << 20, '\0');
    for (std::size_t i = 0; i < large.size(); ++i)
        large[i] = static_cast<char>(i * 31 % 251);
    large += 'x';
    const std::map<std::string, std::string> files{
        {"empty.bin", ""}, {"one.bin", "a"}, {"large.bin", large}, {"Αρχείο ファイル.dat", "names in other scripts"}};
    for (const auto& [name, bytes] : files)
        folder_.WriteFile(name, bytes);
    folder_.AddFolder("sub");
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        ShowHashes(name);
        EXPECT_EQ(PageHashes(), CryptoApiHashes(bytes));
        EXPECT_EQ(window_->tabInfo.Key(window_->tabInfo.Count() - 1), "Hashes");
        EXPECT_EQ(window_->lblHashState.Text(), "");
    }
    // Known values, to be sure the other implementation is right.
    ShowHashes("one.bin");
    EXPECT_EQ(window_->txtSha256.Text(), "ca978112ca1bbdcafac231b39a23dc4da786eff8147c4e72b9807785afee48bb");

    // The report carries them once they are in.
    window_->RunCommand(FFileInfo::kCopyJson);
    ASSERT_TRUE(PumpUntil(*window_, [this] { return !window_->CheckingSignatures(); }, 10000));
    const auto json = nlohmann::json::parse(NarrowText(korrimat::testing::ClipboardText()), nullptr, false);
    ASSERT_FALSE(json.is_discarded());
    EXPECT_EQ(json["hashes"]["md5"], "0cc175b9c0f1b6a831c399e269772661");

    // A folder has no Hashes page.
    ASSERT_TRUE(window_->Dir1.SetPath(folder_ / "sub"));
    EXPECT_EQ(window_->tabInfo.IndexOfKey("Hashes"), -1);
}

TEST_F(HashesPage, TheCompareBoxMatchesAHashByItsLengthInAnyCaseAndSpelling)
{
    folder_.WriteFile("a.txt", "a");
    // A hash on the clipboard goes into the box when the page opens.
    korrimat::testing::SetClipboardText(L"  CA978112CA1BBDCAFAC231B39A23DC4DA786EFF8147C4E72B9807785AFEE48BB\r\n");
    ShowHashes("a.txt");
    EXPECT_EQ(window_->txtCompare.Text(), "CA978112CA1BBDCAFAC231B39A23DC4DA786EFF8147C4E72B9807785AFEE48BB");
    EXPECT_EQ(window_->lblHashVerdict.Text(), "Matches this file's SHA-256.");
    ASSERT_TRUE(window_->lblHashVerdict.TextColour());

    const std::map<std::string, std::string> hashes = PageHashes();
    const std::pair<const char*, const char*> kinds[] = {{"md5", "MD5"}, {"sha1", "SHA-1"}, {"sha256", "SHA-256"}, {"sha512", "SHA-512"}};
    for (const auto& [key, caption] : kinds) {
        Type(hashes.at(key));
        EXPECT_EQ(window_->lblHashVerdict.Text(), "Matches this file's " + std::string(caption) + ".");
    }
    for (const char* spelling : {"sha1: 86F7 E437 FAA5 A7FC E15D 1DDC B9EA EAEA 3776 67B8", "SHA-1 86:f7:e4:37:fa:a5:a7:fc:e1:5d:1d:dc:b9:ea:ea:ea:37:76:67:b8"}) {
        Type(spelling);
        EXPECT_EQ(window_->lblHashVerdict.Text(), "Matches this file's SHA-1.") << spelling;
    }
    const COLORREF match = *window_->lblHashVerdict.TextColour();
    for (const std::string& wrong : {std::string(64, '0'), "md5:" + hashes.at("sha1"), std::string("not a hash")}) {
        Type(wrong);
        EXPECT_EQ(window_->lblHashVerdict.Text(), "Matches none of this file's hashes.") << wrong;
        ASSERT_TRUE(window_->lblHashVerdict.TextColour());
        EXPECT_NE(*window_->lblHashVerdict.TextColour(), match);
    }
    Type("");
    EXPECT_EQ(window_->lblHashVerdict.Text(), "");
}

TEST_F(HashesPage, TheSumsFilesBesideTheFileSayWhetherItMatches)
{
    folder_.WriteFile("a.bin", "a");
    const std::string sha256 = "ca978112ca1bbdcafac231b39a23dc4da786eff8147c4e72b9807785afee48bb";
    folder_.WriteFile("SHA256SUMS", sha256 + "  a.bin\n" + std::string(64, '1') + " *b.bin\n");
    folder_.WriteFile("a.bin.sha1", "SHA1 (a.bin) = " + std::string(40, '0') + "\r\n");
    folder_.WriteFile("MD5SUMS", "0cc175b9c0f1b6a831c399e269772661  a.bin\n" + std::string(32, 'f') + "  A.BIN\n");
    folder_.WriteFile("SHA512SUMS", std::string("\x01\x02\0\xff", 4) + std::string(10000, 'x') + "\n");
    folder_.WriteFile("other.sha256", sha256 + "  other.bin\n");
    ShowHashes("a.bin");
    EXPECT_EQ(window_->lblSums.Text(), "a.bin.sha1 says: does not match.\r\n"
                                       "MD5SUMS names this file twice, with different hashes.\r\n"
                                       "SHA256SUMS says: matches.\r\n"
                                       "SHA512SUMS: too large to read.");
    Type("sha256:" + sha256);
    korrimat::testing::BringToFront(*window_);
    // Four sums files' lines, the verdict and the hashes all whole on the page.
    korrimat::testing::ExpectEveryTextWhole(*window_, {"frmHashes"});
    EXPECT_TRUE(korrimat::testing::SaveWindowPicture(
        window_->Handle(), korrimat::testing::PictureFolder() + "\\hashes-page-" + std::to_string(window_->Density().DpiY()) + "dpi.bmp"));
    folder_.WriteFile("a.bin.sha1", "SHA1 (a.bin) = 86f7e437faa5a7fce15d1ddcb9eaeaea377667b8\n");
    ::DeleteFileA((folder_ / "MD5SUMS").c_str());
    ::DeleteFileA((folder_ / "SHA512SUMS").c_str());
    korrimat::testing::PressKeys(*window_, {VK_F5});
    ASSERT_TRUE(PumpUntil(*window_, [this] { return !window_->ComputingHashes() && !window_->txtMd5.Text().empty(); }, 30000));
    EXPECT_EQ(window_->lblSums.Text(), "a.bin.sha1 says: matches.\r\nSHA256SUMS says: matches.");
}

TEST_F(HashesPage, ComparedWithAnotherFileChosenInTheOpenDialog)
{
    folder_.WriteFile("a.bin", "same contents");
    folder_.WriteFile("b.bin", "same contents");
    folder_.WriteFile("c.bin", "diff contents");
    folder_.WriteFile("d.bin", "shorter");
    ShowHashes("a.bin");
    const struct {
        const char* other;
        const char* verdict;
    } cases[] = {{"b.bin", "Same contents as b.bin."}, {"c.bin", "Different contents from c.bin."}, {"d.bin", "Different contents from d.bin."}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.other);
        {
            OpenDialogAnswer answer(window_->Handle(), folder_ / c.other);
            window_->cmdCompareFile.Click();
            EXPECT_TRUE(answer.Answered());
        }
        ASSERT_TRUE(PumpUntil(*window_, [this] { return !window_->ComputingHashes(); }, 10000));
        EXPECT_EQ(window_->lblFileVerdict.Text(), c.verdict);
    }
}

TEST_F(HashesPage, ALargeFileShowsItsProgressEscStopsItAndTheWindowAnswersThroughout)
{
    folder_.AddSparseFile("large.iso", 1LL << 30);
    ASSERT_TRUE(korrimat::testing::OpenFolder(*window_, folder_.Path()));
    korrimat::testing::AnswerWatch watch(window_->Handle());
    ASSERT_TRUE(window_->tabInfo.Select(std::string_view("Hashes")));
    ASSERT_TRUE(PumpUntil(*window_, [this] { return window_->prgHashes.Visible() && window_->prgHashes.Percent() > 0; }, 60000));
    EXPECT_NE(window_->lblHashState.Text().find("% (Esc stops)"), std::string::npos) << window_->lblHashState.Text();
    korrimat::testing::PressKeys(*window_, {VK_ESCAPE});
    ASSERT_TRUE(PumpUntil(*window_, [this] { return !window_->ComputingHashes(); }, 10000));
    EXPECT_EQ(window_->lblHashState.Text(), "Stopped: F5 computes them again.");
    EXPECT_FALSE(window_->prgHashes.Visible());
    EXPECT_EQ(window_->txtSha256.Text(), "");
    const long long slowest = watch.Stop(*window_);
    std::printf("the window's slowest answer while a 1 GiB file was hashed: %lld ms\n", slowest);
    EXPECT_LT(slowest, 100);
}

} // namespace
