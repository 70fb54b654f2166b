// The Digital Signatures page and the report's Signatures section, through the real window on
// the files the build signs (make-signed.sh), with the set's root trusted for the run.

#include "app/FFileInfo.h"
#include "report/ReportWriters.h"
#include <nlohmann/json.hpp>
#include "tests/support/AnswerWatch.h"
#include "tests/support/Paths.h"
#include "tests/support/TextFits.h"
#include "tests/support/WindowFixture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace korrimat;
using korrimat::testing::Choose;
using korrimat::testing::Pump;

namespace {

std::string SignedFolder()
{
    return korrimat::testing::ProgramFolder() + "\\signed";
}

class SignaturePage : public ::testing::Test {
protected:
    void SetUp() override
    {
        window_ = korrimat::testing::OpenWindow();
        ASSERT_TRUE(window_->Created());
        ASSERT_TRUE(korrimat::testing::OpenFolder(*window_, SignedFolder()));
    }

    // Chooses a file and lets the check on the worker end, as a user waiting a moment would.
    void Show(const std::string& name)
    {
        ASSERT_TRUE(Choose(*window_, name));
        for (int round = 0; round < 500 && window_->CheckingSignatures(); ++round)
            Pump(window_.get(), 1);
        ASSERT_FALSE(window_->CheckingSignatures()) << "the check did not end within some seconds";
        // Then looks at the page, which is made when it first comes forward.
        korrimat::testing::ShowPage(*window_, "Signatures");
    }

    std::unique_ptr<FFileInfo> window_;
};

TEST_F(SignaturePage, EachFileShowsItsVerdictAndTheTabComesOnlyWithASignature)
{
    const struct {
        const char* file;
        int rows;
        const char* verdict;  // of the first row
    } cases[] = {
        {"signed.dll", 1, "This digital signature is OK."},
        {"timestamped.dll", 1, "This digital signature is OK."},
        {"dual-signed.dll", 2, "This digital signature is OK."},
        {"changed.dll", 1, "The file has been changed since it was signed."},
        {"untrusted-root.dll", 1, "The signer's certificate chains to a root that is not trusted."},
        {"self-signed.dll", 1, "The signer's certificate chains to a root that is not trusted."},
        {"expired.dll", 1, "The signer's certificate had expired when the file was signed."},
        {"expired-timestamped.dll", 1, "This digital signature is OK."},
        {"garbage.dll", 1, "The signature is damaged."},
        {"truncated.dll", 1, "The signature is damaged."},
        {"past-end.dll", 1, "The signature is damaged."},
        {"other-type.dll", 1, "The signature is damaged."},
    };
    for (const auto& expected : cases) {
        SCOPED_TRACE(expected.file);
        Show(expected.file);
        EXPECT_EQ(window_->tabInfo.Count(), 5);
        EXPECT_EQ(window_->tabInfo.Caption(2), "Digital Signatures");
        EXPECT_EQ(window_->lstSignatures.Count(), expected.rows);
        EXPECT_EQ(window_->txtSigVerdict.Text(), expected.verdict);
    }
    // The nested signature's own facts, chosen in the list.
    Show("dual-signed.dll");
    EXPECT_NE(window_->lstSignatures.Item(0).find("SHA1"), std::string::npos);
    EXPECT_NE(window_->lstSignatures.Item(1).find("SHA256"), std::string::npos);
    EXPECT_NE(window_->lstSignatures.Item(1).find("no time stamp"), std::string::npos);
    window_->lstSignatures.SetSelectedIndex(1);
    EXPECT_EQ(window_->txtSigIssuer.Text(), "Korrimat Test Code Signing CA");
    EXPECT_EQ(window_->txtSigChain.Text(), "Korrimat Test Signer\r\nKorrimat Test Code Signing CA\r\nKorrimat Test Root");

    // An unsigned file has no such page; choosing one while a check runs drops that check.
    ASSERT_TRUE(Choose(*window_, "signed.dll"));
    Show("unsigned.dll");
    Pump(window_.get());
    EXPECT_EQ(window_->tabInfo.Count(), 4);
    EXPECT_EQ(window_->tabInfo.IndexOfKey("Signatures"), -1);
}

TEST_F(SignaturePage, TheReportSaysWhoSignedAndWhetherItHolds)
{
    const std::string text = ReportAsText(ReportProperties(SystemPlatform(), SignedFolder() + "\\timestamped.dll"));
    for (const char* part : {"\r\n[Signatures]\r\nSigned: Yes\r\nRevocation: not checked", "Signature:\r\n  Signer: Korrimat Test Signer\r\n",
                             "  Issuer: Korrimat Test Code Signing CA\r\n", "  Digest algorithm: SHA256\r\n",
                             "  Time stamp: RFC 3161\r\n  Time stamp (UTC): 2024-03-01T00:00:00Z\r\n",
                             "  Valid from (UTC): 2019-01-01T00:00:00Z\r\n",
                             "  Chain: Korrimat Test Signer, Korrimat Test Code Signing CA, Korrimat Test Root\r\n",
                             "  Verdict: This digital signature is OK.\r\n"})
        EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;

    const auto json = nlohmann::json::parse(ReportAsJson(ReportProperties(SystemPlatform(), SignedFolder() + "\\dual-signed.dll")),
                                            nullptr, false);
    ASSERT_FALSE(json.is_discarded());
    const auto& signatures = json["signatures"];
    EXPECT_TRUE(signatures["signed"].get<bool>());
    ASSERT_EQ(signatures["items"].size(), 2u);
    EXPECT_EQ(signatures["items"][1]["digestAlgorithm"], "SHA256");
    EXPECT_EQ(signatures["items"][0]["verdict"], "This digital signature is OK.");
    EXPECT_EQ(signatures["items"][0]["status"], 0u);

    EXPECT_NE(ReportAsText(ReportProperties(SystemPlatform(), SignedFolder() + "\\unsigned.dll")).find("\r\nSignatures: not signed\r\n"),
              std::string::npos);
    EXPECT_NE(ReportAsText(ReportProperties(SystemPlatform(), SignedFolder() + "\\keys\\root.pem")).find("\r\nSignatures: not a program file\r\n"),
              std::string::npos);
}

TEST_F(SignaturePage, AnswersWhileALargeSignedProgramsReportIsCopied)
{
    ASSERT_TRUE(korrimat::testing::OpenFolder(*window_, korrimat::testing::ProgramFolder() + "\\large"));
    ASSERT_EQ(window_->File1.FileName(), "large.dll");
    korrimat::testing::SetClipboardText(L"before");
    korrimat::testing::AnswerWatch watch(window_->Handle());
    window_->RunCommand(FFileInfo::kCopyProperties);
    std::string copied;
    EXPECT_TRUE(korrimat::testing::PumpUntil(
        *window_, [&] { return (copied = NarrowText(korrimat::testing::ClipboardText())) != "before"; }, 60000));
    const long long slowest = watch.Stop(*window_);
    std::printf("the window's slowest answer while the report was copied: %lld ms\n", slowest);
    EXPECT_LT(slowest, 100);
    EXPECT_NE(copied.find("  Verdict: This digital signature is OK.\r\n"), std::string::npos) << copied;
}

// Ctrl+Tab and its kin go round every page of a file with five, wrapping, from wherever the
// focus is; a focus on the page that goes moves to the tab strip.
TEST_F(SignaturePage, TheKeysOfEveryTabbedWindowGoRoundThePages)
{
    using korrimat::testing::PressKeys;
    Show("signed.dll");
    korrimat::testing::BringToFront(*window_);
    FFileInfo& window = *window_;
    ASSERT_EQ(window.tabInfo.Count(), 5);
    ASSERT_TRUE(korrimat::testing::ShowPage(window, "General"));
    window.File1.Focus();
    std::vector<int> pages{window.tabInfo.SelectedIndex()};
    for (int i = 0; i < 5; ++i) {
        PressKeys(window, {VK_CONTROL, VK_TAB});
        pages.push_back(window.tabInfo.SelectedIndex());
    }
    EXPECT_EQ(pages, (std::vector<int>{0, 1, 2, 3, 4, 0}));
    EXPECT_EQ(window.FocusedControl(), &window.File1);
    PressKeys(window, {VK_CONTROL, VK_SHIFT, VK_TAB});
    EXPECT_EQ(window.tabInfo.SelectedIndex(), 4);
    PressKeys(window, {VK_CONTROL, VK_PRIOR});
    EXPECT_EQ(window.tabInfo.SelectedIndex(), 3);
    PressKeys(window, {VK_CONTROL, VK_NEXT});
    PressKeys(window, {VK_CONTROL, VK_NEXT});
    EXPECT_EQ(window.tabInfo.SelectedIndex(), 0);
    EXPECT_TRUE(window.frmGeneral.OnScreen());

    // From a box on the General page: the page goes, the tab strip takes the focus.
    window.txtFilename.Focus();
    PressKeys(window, {VK_CONTROL, VK_TAB});
    EXPECT_EQ(window.tabInfo.Key(window.tabInfo.SelectedIndex()), "Version");
    EXPECT_TRUE(window.frmVersion.OnScreen());
    EXPECT_EQ(window.FocusedControl(), &window.tabInfo);
    PressKeys(window, {VK_CONTROL, VK_SHIFT, VK_TAB});
    EXPECT_EQ(window.tabInfo.SelectedIndex(), 0);
}

// The context menu's first two items copy the value it was opened over, alone and after its
// name: a General page's box and a Version row by the right button, a signature's value by
// Shift+F10.
TEST_F(SignaturePage, OneValueIsCopiedAloneOrAfterItsName)
{
    using korrimat::testing::KeyStrokes;
    Show("signed.dll");
    korrimat::testing::BringToFront(*window_);
    FFileInfo& window = *window_;
    ASSERT_TRUE(korrimat::testing::ShowPage(window, "General"));
    const auto clipboard = [] { return NarrowText(korrimat::testing::ClipboardText()); };
    const auto choose = [&](std::vector<INPUT> opening, WORD letter) {
        const std::vector<INPUT> choice = KeyStrokes({letter});
        opening.insert(opening.end(), choice.begin(), choice.end());
        korrimat::testing::SendInputs(window, opening);
    };

    const std::string size = window.txtSize.Text();
    ASSERT_FALSE(size.empty());
    choose(korrimat::testing::RightClickAt(window.txtSize.Handle(), {4, 4}), 'C');
    EXPECT_EQ(clipboard(), size);
    choose(korrimat::testing::RightClickAt(window.txtSize.Handle(), {4, 4}), 'N');
    EXPECT_EQ(clipboard(), "Size: " + size);

    // The second row of the Version page's list, pointed at: it is selected and its value copied.
    window.tabInfo.Select(std::string_view("Version"));
    Pump(window_.get());
    const int rowHeight = static_cast<int>(::SendMessageA(window.lstVerInfo.Handle(), LB_GETITEMHEIGHT, 0, 0));
    choose(korrimat::testing::RightClickAt(window.lstVerInfo.Handle(), {8, rowHeight + rowHeight / 2}), 'N');
    ASSERT_EQ(window.lstVerInfo.SelectedIndex(), 1);
    const std::string row = window.lstVerInfo.Item(1) + ": " + window.txtVerInfo.Text();
    EXPECT_EQ(clipboard(), row);
    EXPECT_NE(window.txtVerInfo.Text(), "");

    window.tabInfo.Select(std::string_view("Signatures"));
    Pump(window_.get());
    window.txtSigIssuer.Focus();
    choose(KeyStrokes({VK_SHIFT, VK_F10}), 'C');
    EXPECT_EQ(clipboard(), "Korrimat Test Code Signing CA");
    choose(KeyStrokes({VK_SHIFT, VK_F10}), 'N');
    EXPECT_EQ(clipboard(), "Issuer: Korrimat Test Code Signing CA");
}

TEST_F(SignaturePage, EveryTextOfTheAddedPagesShowsWholeAndThePageIsPictured)
{
    Show("timestamped.dll");
    korrimat::testing::BringToFront(*window_);
    const std::string density = std::to_string(window_->Density().DpiY()) + "dpi";
    // Every tab whole in the strip.
    for (int i = 0; i < window_->tabInfo.Count(); ++i) {
        RECT tab{};
        ::SendMessageA(window_->tabInfo.Handle(), TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&tab));
        EXPECT_LE(tab.right, window_->tabInfo.GetBounds().width) << i;
    }
    window_->tabInfo.Select(std::string_view("Signatures"));
    Pump(window_.get());
    EXPECT_TRUE(::IsWindowVisible(window_->frmSignatures.Handle()));
    EXPECT_FALSE(::IsWindowVisible(window_->frmVersion.Handle()));
    {
        SCOPED_TRACE("the Digital Signatures page at " + density);
        korrimat::testing::ExpectEveryTextWhole(*window_, {"frmSignatures", "frmSigDetails"});
    }
    EXPECT_TRUE(korrimat::testing::SaveWindowPicture(window_->Handle(), korrimat::testing::PictureFolder() +
                                                                            "\\signatures-page-" + density + ".bmp"));
    window_->tabInfo.Select(std::string_view("Program"));
    Pump(window_.get());
    {
        SCOPED_TRACE("the Program page at " + density);
        korrimat::testing::ExpectEveryTextWhole(*window_, {"frmProgram"});
    }
    window_->tabInfo.Select(std::string_view("Hashes"));
    ASSERT_TRUE(korrimat::testing::PumpUntil(
        *window_, [this] { return !window_->ComputingHashes() && !window_->txtSha512.Text().empty(); }, 20000));
    // A verdict, so that the comparison's words are measured too.
    window_->txtCompare.SetText(window_->txtSha256.Text());
    Pump(window_.get());
    SCOPED_TRACE("the Hashes page at " + density);
    korrimat::testing::ExpectEveryTextWhole(*window_, {"frmHashes"});
}

} // namespace
