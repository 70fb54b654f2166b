// FFileInfo's Digital Signatures page: a tab while the shown file carries an embedded signature,
// decided at once from the file's headers; the system's check runs on a worker, and the page
// fills when it ends. Showing another file drops a check still running.

#include "app/FFileInfo.h"
#include "platform/Trace.h"
#include "fileinfo/DateValue.h"
#include "fileinfo/FileInfo.h"
#include "platform/Locale.h"
#include "platform/ProgramFiles.h"

namespace korrimat {

namespace {

constexpr std::string_view kSignaturesTab = "Signatures";

} // namespace

// A UTC time in the user's regional format, as the General page writes its times.
std::string FFileInfo::SignatureTimeText(const FILETIME& utc) const
{
    const std::optional<FILETIME> local = LocalFileTime(utc);
    const std::optional<SYSTEMTIME> split = local ? SystemTimeOf(*local) : std::nullopt;
    if (!split)
        return "unknown";
    const SYSTEMTIME& parts = *split;
    const CFileInfo formatter(platform_);
    return formatter.FormatFileDate(DateValueOf(parts.wYear, parts.wMonth, parts.wDay, parts.wHour, parts.wMinute, parts.wSecond));
}

void FFileInfo::ShowSignaturePage(const std::string& path)
{
    StopSignatureCheck();
    const int tab = tabInfo.IndexOfKey(kSignaturesTab);
    if (EmbeddedSignatureAt(path).state == EmbeddedSignaturePlace::State::None) {
        if (tab >= 0)
            tabInfo.Remove(tab);
        return;
    }
    if (tab < 0)
        tabInfo.Add(tabInfo.Count(), kSignaturesTab, "Digital Signatures");

    lstSignatures.Clear();
    lstSignatures.Add("Checking the signature...");
    lstSignatures_Click();
    auto job = std::make_unique<SignatureJob>();
    job->path = path;
    job->serial = ++signatureSerial_;
    SignatureJob* running = job.get();
    const controls::PostedMessage finished = signatureFinished_;
    const Platform& platform = platform_;
    const bool started = signatureWorker_.Start([running, finished, &platform](HANDLE) {
        try {
            running->result = CheckEmbeddedSignatures(running->path);
        } catch (...) {
            // Out of memory, say: the window must still hear that the check ended.
            TraceFailure("the signature check failed with an exception");
            running->result = {};
        }
        finished.Post(running->serial);
    });
    if (!started) {
        lstSignatures.Clear();
        lstSignatures.Add("The signature could not be checked: no worker thread could be started.");
        return;
    }
    signatureJob_ = std::move(job);
}

void FFileInfo::StopSignatureCheck() noexcept
{
    signatureWorker_.Stop();
    signatureJob_.reset();
    signatures_.clear();
}

void FFileInfo::SignatureCheckFinished(std::uintptr_t serial)
{
    // A check replaced by another, or stopped, has nothing more to say.
    if (!signatureJob_ || serial != signatureJob_->serial)
        return;
    signatureWorker_.Stop();
    const std::unique_ptr<SignatureJob> job = std::move(signatureJob_);
    signatures_ = std::move(job->result.signatures);
    lstSignatures.Clear();
    if (signatures_.empty()) {
        lstSignatures.Add("The signature could not be checked.");
        lstSignatures_Click();
        return;
    }
    for (std::size_t i = 0; i < signatures_.size(); ++i) {
        const SignatureFacts& facts = signatures_[i];
        std::string row = facts.signer.empty() ? std::string("(no signer)") : facts.signer;
        if (!facts.digestAlgorithm.empty())
            row += "  " + facts.digestAlgorithm;
        row += facts.timeStamp ? "  " + SignatureTimeText(*facts.timeStamp) + " (" + TimeStampKindName(facts.timeStampKind) + ")"
                               : std::string("  time stamp: none");
        lstSignatures.Add(row, static_cast<std::intptr_t>(i));
    }
    lstSignatures.SetSelectedIndex(0);
}

void FFileInfo::lstSignatures_Click()
{
    const std::intptr_t row = lstSignatures.Data(lstSignatures.SelectedIndex());
    if (row < 0 || row >= static_cast<std::intptr_t>(signatures_.size())) {
        for (controls::TextBox* box :
             {&txtSigIssuer, &txtSigSerial, &txtSigValidFrom, &txtSigValidTo, &txtSigTimeStamp, &txtSigChain, &txtSigVerdict})
            box->SetText("");
        return;
    }
    const SignatureFacts& facts = signatures_[static_cast<std::size_t>(row)];
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
