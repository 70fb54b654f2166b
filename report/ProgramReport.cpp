#include "report/ProgramReport.h"

#include "report/ReportFields.h"

#include <windows.h>

namespace korrimat {

namespace {

// The header's stamp as an ISO time; nothing for none (0) or a reproducible build's hash.
std::optional<std::string> BuildTime(const ProgramImage& image)
{
    if (image.reproducible || image.timeStamp == 0)
        return std::nullopt;
    // Seconds since 1970 in the 100-nanosecond steps since 1601 of a FILETIME.
    const std::uint64_t ticks = (std::uint64_t{image.timeStamp} + 11644473600ULL) * 10000000ULL;
    const std::string iso = IsoTime(FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)});
    return iso.empty() ? std::nullopt : std::optional(iso);
}

ReportField ProtectionsField(const ProgramProtections& protections)
{
    return ObjectField("Protections", "protections",
                       {
                           BooleanField("ASLR", "aslr", protections.aslr),
                           BooleanField("High-entropy ASLR", "highEntropyAslr", protections.highEntropyAslr),
                           BooleanField("DEP", "dep", protections.dep),
                           BooleanField("Control Flow Guard", "cfg", protections.cfg),
                           MaybeBooleanField("SafeSEH", "safeSeh", protections.safeSeh, "not for this machine"),
                           BooleanField("CET shadow stack compatible", "cetCompatible", protections.cetCompatible),
                           BooleanField("Force integrity", "forceIntegrity", protections.forceIntegrity),
                       });
}

ReportField ManifestField(const std::optional<ManifestFacts>& manifest)
{
    if (!manifest)
        return NullField("Manifest", "manifest", "none");
    // A manifest never parsed is neither damaged nor whole: nobody knows.
    if (manifest->reading == ManifestReading::Damaged)
        return ObjectField("Manifest", "manifest", {BooleanField("Damaged", "damaged", true)}, "damaged");
    if (manifest->reading != ManifestReading::Read)
        return ObjectField("Manifest", "manifest", {NullField("Damaged", "damaged", "unknown")},
                           ManifestNotReadText(manifest->reading));
    ReportField level = MaybeTextField("Execution level", "executionLevel", manifest->executionLevel);
    if (manifest->executionLevel == "requireAdministrator")
        level.shown = "requireAdministrator (asks for administrator rights)";
    ReportField systems = TextsField("Supported OS", "supportedOS", manifest->supportedOS);
    if (manifest->supportedOS.empty())
        systems.shown = "not said";
    return ObjectField("Manifest", "manifest",
                       {
                           BooleanField("", "damaged", false),
                           std::move(level),
                           MaybeBooleanField("UI access", "uiAccess", manifest->uiAccess),
                           MaybeTextField("DPI awareness", "dpiAwareness", manifest->dpiAwareness),
                           MaybeBooleanField("Long path aware", "longPathAware", manifest->longPathAware),
                           MaybeTextField("Active code page", "activeCodePage", manifest->activeCodePage),
                           std::move(systems),
                       });
}

ReportField DotNetField(const std::optional<ClrImage>& clr)
{
    if (!clr)
        return NullField(".NET", "dotnet", "not a .NET assembly");
    return ObjectField(".NET", "dotnet",
                       {
                           clr->runtimeVersion.empty() ? NullField("Runtime version", "runtimeVersion", "unknown")
                                                       : TextField("Runtime version", "runtimeVersion", clr->runtimeVersion),
                           BooleanField("IL only", "ilOnly", clr->ilOnly),
                           BooleanField("Requires 32-bit", "requires32Bit", clr->requires32Bit),
                           BooleanField("Prefers 32-bit", "prefers32Bit", clr->prefers32Bit),
                           BooleanField("Strong-name signed", "strongNameSigned", clr->strongNameSigned),
                       });
}

ReportField NamesField(std::string label, std::string key, const std::vector<std::string>& names)
{
    ReportField field = TextsField(std::move(label), std::move(key), names);
    if (names.empty())
        field.shown = "none";
    return field;
}

} // namespace

ReportField ProgramImageField(const FileFacts& facts)
{
    if (!facts.programImage)
        return NullField("Program image", "program", facts.program.readable ? "not a PE image" : "unknown: the file cannot be read");
    const ProgramImage& image = facts.programImage->image;
    const std::optional<std::string> built = BuildTime(image);
    return ObjectField(
        "Program image", "program",
        {
            TextField("Machine", "machine", image.machine),
            facts.program.bits ? NumberField("Bits", "bits", static_cast<std::uint64_t>(facts.program.bits))
                       : NullField("Bits", "bits", "neither 32- nor 64-bit"),
            TextField("Kind", "kind", image.kind),
            image.subsystem ? TextField("Subsystem", "subsystem", image.subsystemName)
                            : NullField("Subsystem", "subsystem", "unknown: no whole optional header"),
            TextField("Subsystem version", "subsystemVersion", image.subsystemVersion),
            TextField("Linker version", "linkerVersion", image.linkerVersion),
            MaybeTextField("Built (UTC)", "timeStampUtc", built,
                           image.reproducible ? "not a time: a reproducible build's hash" : "not stamped"),
            BooleanField("Reproducible build", "reproducible", image.reproducible),
            BooleanField("Large address aware", "largeAddressAware", image.largeAddressAware),
            ProtectionsField(image.protections),
            ManifestField(facts.programImage->manifest),
            DotNetField(image.clr),
            NamesField("Imports", "imports", image.imports),
            NamesField("Delay-loaded imports", "delayImports", image.delayImports),
            NumberField("Exported names", "exportedNames", image.exportedNames),
        });
}

std::string OriginSummary(const DownloadOrigin& origin)
{
    if (!origin.readable)
        return "Download mark: unreadable";
    if (origin.zoneId == 3)
        return origin.hostUrl ? "Downloaded from the internet: " + *origin.hostUrl : "Downloaded from the internet";
    return origin.hostUrl ? origin.zone + ": " + *origin.hostUrl : origin.zone;
}

ReportField OriginField(const FileFacts& facts)
{
    if (!facts.origin)
        return NullField("Origin", "origin", "none");
    const DownloadOrigin& origin = *facts.origin;
    // The same members for a stream that cannot be read, its zone "unreadable".
    if (!origin.readable)
        return ObjectField("Origin", "origin",
                           {NullField("", "zoneId", ""), TextField("", "zone", "unreadable"), NullField("", "hostUrl", ""),
                            NullField("", "referrerUrl", "")},
                           "unreadable: the Zone.Identifier stream is not what it should be");
    return ObjectField("Origin", "origin",
                       {
                           TextField("Summary", "", OriginSummary(origin)),
                           NumberField("Zone ID", "zoneId", origin.zoneId),
                           TextField("Zone", "zone", origin.zone),
                           MaybeTextField("Host URL", "hostUrl", origin.hostUrl, "none"),
                           MaybeTextField("Referrer URL", "referrerUrl", origin.referrerUrl, "none"),
                       });
}

} // namespace korrimat
