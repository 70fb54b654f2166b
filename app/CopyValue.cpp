// FFileInfo's copy of one value: the box, or the list's row, a context menu was opened over,
// copied whole as it shows, alone or after its name ("File version: 1.2.3.4").

#include "app/FFileInfo.h"

#include <array>

namespace korrimat {

namespace {

// A box of the pages and what names it: the label beside it, or a name of its own where no
// label stands.
struct NamedValue {
    std::string_view box;
    std::string_view label;  // the design name of the label; empty: `name`
    std::string_view name;
};

constexpr std::array<NamedValue, 28> kNamedValues{{
    {"txtFilename", "", "Name"},
    {"txtOrigin", "", "Origin"},
    {"txtType", "lblType", ""},
    {"txtLocation", "lblLocation", ""},
    {"txtSize", "lblSize", ""},
    {"txtCompSize", "Label3", ""},
    {"txtDosPath", "lblDosPath", ""},
    {"txtDosName", "lblDosName", ""},
    {"txtCreated", "lblCreated", ""},
    {"txtModified", "lblModified", ""},
    {"txtAccessed", "lblAccessed", ""},
    {"txtFileVer", "lblFileVer", ""},
    {"txtDescription", "lblDescription", ""},
    {"txtCopyright", "lblCopyright", ""},
    {"txtSigIssuer", "lblSigIssuer", ""},
    {"txtSigSerial", "lblSigSerial", ""},
    {"txtSigValidFrom", "lblSigValidFrom", ""},
    {"txtSigValidTo", "lblSigValidTo", ""},
    {"txtSigTimeStamp", "lblSigTimeStamp", ""},
    {"txtSigChain", "lblSigChain", ""},
    {"txtSigVerdict", "lblSigVerdict", ""},
    {"txtMd5", "lblMd5", ""},
    {"txtSha1", "lblSha1", ""},
    {"txtSha256", "lblSha256", ""},
    {"txtSha512", "lblSha512", ""},
    {"txtCompare", "lblCompare", ""},
    {"txtProgramSummary", "", "Program"},
    {"txtProgram", "", "Program image"},
}};

// A label's caption as a name: without its access mark and the colons after it ("File
// version::" names "File version").
std::string NameOfCaption(std::string caption)
{
    std::erase(caption, '&');
    while (!caption.empty() && (caption.back() == ':' || caption.back() == ' '))
        caption.pop_back();
    return caption;
}

} // namespace

std::optional<FFileInfo::NamedText> FFileInfo::ValueAt(controls::Control* source, POINT at, bool byKeyboard)
{
    if (!source)
        return std::nullopt;
    if (source == &lstVerInfo || source == &lstSignatures) {
        auto& list = static_cast<controls::ListBox&>(*source);
        // The row the pointer is on, selected as a click would select it; from the keyboard, the
        // selected one.
        if (!byKeyboard) {
            const int pointed = list.IndexAt(at);
            if (pointed >= 0 && pointed != list.SelectedIndex())
                list.SetSelectedIndex(pointed);
        }
        const int row = list.SelectedIndex();
        if (row < 0)
            return std::nullopt;
        if (source == &lstSignatures)
            return NamedText{"Signature", list.Item(row)};
        return NamedText{list.Item(row), txtVerInfo.Text()};
    }
    if (source == &txtVerInfo) {
        const int row = lstVerInfo.SelectedIndex();
        return NamedText{row >= 0 ? lstVerInfo.Item(row) : NameOfCaption(lblVerValue.Text()), txtVerInfo.Text()};
    }
    for (const NamedValue& value : kNamedValues) {
        if (ControlNamed(value.box) != source)
            continue;
        const controls::Control* label = value.label.empty() ? nullptr : ControlNamed(value.label);
        return NamedText{label ? NameOfCaption(label->Text()) : std::string(value.name), source->Text()};
    }
    return std::nullopt;
}

} // namespace korrimat
