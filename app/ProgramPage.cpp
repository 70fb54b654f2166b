// FFileInfo's Program page: a tab for every file that is a PE image, before the Hashes tab. What
// the image is, in a line; in words whether it asks for administrator rights; then every fact of
// it as the report writes them, in a box that scrolls and copies.

#include "app/FFileInfo.h"

#include "report/ProgramReport.h"
#include "report/ReportWriters.h"

namespace korrimat {

namespace {

constexpr std::string_view kProgramTab = "Program";

// "x64 program, 64-bit, Windows GUI", "x86 library, 32-bit, .NET v4.0.30319".
std::string SummaryOf(const ProgramFacts& facts, int bits)
{
    const ProgramImage& image = facts.image;
    std::string summary = image.machine + " " + image.kind;
    if (bits != 0)
        summary += ", " + std::to_string(bits) + "-bit";
    if (image.subsystem)
        summary += ", " + image.subsystemName;
    if (image.clr)
        summary += image.clr->runtimeVersion.empty() ? std::string(", .NET") : ", .NET " + image.clr->runtimeVersion;
    return summary;
}

std::string ElevationOf(const ProgramFacts& facts)
{
    if (!facts.manifest)
        return {};
    if (facts.manifest->reading == ManifestReading::Damaged)
        return "Its manifest is damaged";
    if (facts.manifest->reading != ManifestReading::Read)
        return "Its manifest could not be read";
    if (facts.manifest->executionLevel == "requireAdministrator")
        return "Asks for administrator rights";
    if (facts.manifest->executionLevel == "highestAvailable")
        return "Asks for the highest rights the user has";
    return {};
}

} // namespace

void FFileInfo::ShowProgramPage()
{
    programPageFilled_ = false;
    if (ShowTab(kProgramTab, "Program", shown_.program.pe) && tabInfo.IsSelected(kProgramTab))
        FillProgramPage();
}

// The page's facts are read and its texts written when it comes to the front: walking the
// image and parsing its manifest, and laying out the facts' box, cost more than the rest of a
// show, and most shows never bring the page forward.
void FFileInfo::FillProgramPage()
{
    if (programPageFilled_ || !shown_.program.pe)
        return;
    programPageFilled_ = true;
    AddProgramFacts(shown_);
    if (!shown_.programImage) {
        // Changed since it was shown; the folder watch shows it again.
        txtProgramSummary.SetText("The program could not be read");
        lblElevation.SetText({});
        txtProgram.SetText({});
        return;
    }
    txtProgramSummary.SetText(SummaryOf(*shown_.programImage, shown_.program.bits));
    lblElevation.SetText(ElevationOf(*shown_.programImage));
    txtProgram.SetText(FieldAsText(ProgramImageField(shown_)));
}

} // namespace korrimat
