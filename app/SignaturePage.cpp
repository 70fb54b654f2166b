// FFileInfo's Digital Signatures page: a tab while the shown file carries an embedded signature,
// decided at once from the file's headers; the system's check is one of the slow facts gathered
// on a worker, and the page fills when they are in. Showing another file drops a check still
// running.

#include "app/FFileInfo.h"
#include "platform/Trace.h"
#include "fileinfo/DateValue.h"
#include "fileinfo/FileInfo.h"
#include "platform/Locale.h"

namespace korrimat {

namespace {

constexpr std::string_view kSignaturesTab = "Signatures";

} // namespace

// A UTC time in the user's regional format, as the General page writes its times; or its day
// alone, for the list's rows.
std::string FFileInfo::SignatureTimeText(const FILETIME& utc, bool dayOnly) const
{
    const std::optional<FILETIME> local = LocalFileTime(utc);
    const std::optional<SYSTEMTIME> split = local ? SystemTimeOf(*local) : std::nullopt;
    if (!split)
        return "unknown";
    const SYSTEMTIME& parts = *split;
    const CFileInfo formatter(platform_);
    const double date = DateValueOf(parts.wYear, parts.wMonth, parts.wDay, parts.wHour, parts.wMinute, parts.wSecond);
    return dayOnly ? formatter.FormatFileDay(date) : formatter.FormatFileDate(date);
}

void FFileInfo::ShowSignaturePage()
{
    if (!ShowTab(kSignaturesTab, "Digital Signatures", shown_.signatures.embedded != EmbeddedSignaturePlace::State::None))
        return;
    lstSignatures.Clear();
    lstSignatures.Add("Checking the signature...");
    lstSignatures_Click();
}

void FFileInfo::FillSignaturePage()
{
    if (shown_.signatures.embedded == EmbeddedSignaturePlace::State::None)
        return;
    const std::vector<SignatureFacts>& signatures = shown_.signatures.check.signatures;
    lstSignatures.Clear();
    if (signatures.empty()) {
        lstSignatures.Add("The signature could not be checked.");
        lstSignatures_Click();
        return;
    }
    for (std::size_t i = 0; i < signatures.size(); ++i) {
        const SignatureFacts& facts = signatures[i];
        std::string row = facts.signer.empty() ? std::string("(no signer)") : facts.signer;
        if (!facts.digestAlgorithm.empty())
            row += "  " + facts.digestAlgorithm;
        // The row holds what tells signatures apart; the selected one's details say the rest.
        row += facts.timeStamp ? "  stamped " + SignatureTimeText(*facts.timeStamp, true) : std::string("  no time stamp");
        lstSignatures.Add(row, static_cast<std::intptr_t>(i));
    }
    lstSignatures.SetSelectedIndex(0);
}

void FFileInfo::lstSignatures_Click()
{
    // The rows stand for the signatures of the check that is in; none while it is being made.
    const std::vector<SignatureFacts>& signatures = shown_.signatures.check.signatures;
    const std::intptr_t row = lstSignatures.Data(lstSignatures.SelectedIndex());
    if (row < 0 || row >= static_cast<std::intptr_t>(signatures.size())) {
        for (controls::TextBox* box :
             {&txtSigIssuer, &txtSigSerial, &txtSigValidFrom, &txtSigValidTo, &txtSigTimeStamp, &txtSigChain, &txtSigVerdict})
            box->SetText("");
        return;
    }
    const SignatureFacts& facts = signatures[static_cast<std::size_t>(row)];
    txtSigIssuer.SetText(facts.issuer);
    txtSigSerial.SetText(facts.serialNumber);
    txtSigValidFrom.SetText(facts.validFrom ? SignatureTimeText(*facts.validFrom) : std::string());
    txtSigValidTo.SetText(facts.validTo ? SignatureTimeText(*facts.validTo) : std::string());
    txtSigTimeStamp.SetText(facts.timeStamp ? SignatureTimeText(*facts.timeStamp) + " (" + TimeStampKindName(facts.timeStampKind) + ")"
                                            : std::string("none"));
    std::string chain;
    for (const std::string& name : facts.chain)
        chain += (chain.empty() ? "" : "\r\n") + name;
    txtSigChain.SetText(chain);
    txtSigVerdict.SetText(VerdictText(facts.verdict, facts.status));
}

} // namespace korrimat
