#include "platform/ProgramManifest.h"

#include "platform/Text.h"

#include <windows.h>
#include <shlwapi.h>
#include <xmllite.h>

#include <array>
#include <memory>
#include <utility>

namespace korrimat {

namespace {

struct ComRelease {
    void operator()(IUnknown* object) const noexcept { object->Release(); }
};
template <typename Interface>
using ComRef = std::unique_ptr<Interface, ComRelease>;

struct LibraryRelease {
    void operator()(HMODULE library) const noexcept { ::FreeLibrary(library); }
};

using CreateXmlReaderFunction = HRESULT(WINAPI*)(REFIID, void**, IMalloc*);
// IID_IXmlReader, which the toolchain's libraries do not define.
constexpr IID kXmlReaderInterface = {0x7279fc81, 0x709d, 0x4095, {0xb6, 0x3d, 0x69, 0xfe, 0x4b, 0x0d, 0x90, 0x30}};

// XmlLite comes with every Windows Korrimat runs on but no import library of the toolchain
// names it: it is loaded by name from the system folder alone, once.
CreateXmlReaderFunction XmlReaderFactory()
{
    static const auto factory = []() -> CreateXmlReaderFunction {
        static const std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryRelease> library(
            ::LoadLibraryExW(L"xmllite.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
        if (!library)
            return nullptr;
        return reinterpret_cast<CreateXmlReaderFunction>(
            reinterpret_cast<void*>(::GetProcAddress(library.get(), "CreateXmlReader")));
    }();
    return factory;
}

// Deep enough for any manifest; a deeper document is not one.
constexpr UINT kDeepestElement = 64;

// The text the reader is on: its local name or its value.
std::wstring_view ReaderText(IXmlReader& reader, HRESULT (STDMETHODCALLTYPE IXmlReader::*get)(const WCHAR**, UINT*))
{
    const WCHAR* text = nullptr;
    UINT length = 0;
    if (FAILED((reader.*get)(&text, &length)) || !text)
        return {};
    return {text, length};
}

std::wstring_view LocalName(IXmlReader& reader)
{
    return ReaderText(reader, &IXmlReader::GetLocalName);
}

std::wstring_view Value(IXmlReader& reader)
{
    return ReaderText(reader, &IXmlReader::GetValue);
}

std::wstring Trimmed(std::wstring_view text)
{
    const std::size_t first = text.find_first_not_of(L" \t\r\n");
    if (first == std::wstring_view::npos)
        return {};
    return std::wstring(text.substr(first, text.find_last_not_of(L" \t\r\n") - first + 1));
}

bool IsTrue(std::wstring_view text)
{
    return ::CompareStringOrdinal(text.data(), static_cast<int>(text.size()), L"true", 4, TRUE) == CSTR_EQUAL;
}

// The settings whose value is their element's text.
enum class TextSetting { None, DpiAware, DpiAwareness, LongPathAware, ActiveCodePage };

TextSetting TextSettingOf(std::wstring_view name)
{
    if (name == L"dpiAware")
        return TextSetting::DpiAware;
    if (name == L"dpiAwareness")
        return TextSetting::DpiAwareness;
    if (name == L"longPathAware")
        return TextSetting::LongPathAware;
    if (name == L"activeCodePage")
        return TextSetting::ActiveCodePage;
    return TextSetting::None;
}

class ManifestWalk {
public:
    explicit ManifestWalk(IXmlReader& reader) : reader_(reader) {}

    // Reads to the end; false when the document is not well-formed.
    bool Walk()
    {
        XmlNodeType type = XmlNodeType_None;
        HRESULT result = S_OK;
        while ((result = reader_.Read(&type)) == S_OK) {
            switch (type) {
            case XmlNodeType_Element: {
                const std::wstring_view name = LocalName(reader_);
                const bool empty = reader_.IsEmptyElement() != FALSE;
                if (name == L"requestedExecutionLevel")
                    ReadExecutionLevel();
                else if (name == L"supportedOS")
                    ReadSupportedOs();
                if (!empty) {
                    open_ = TextSettingOf(name);
                    text_.clear();
                } else if (const TextSetting setting = TextSettingOf(name); setting != TextSetting::None) {
                    Store(setting, {});
                }
                break;
            }
            case XmlNodeType_Text:
            case XmlNodeType_CDATA:
            case XmlNodeType_Whitespace:
                if (open_ != TextSetting::None)
                    text_ += Value(reader_);
                break;
            case XmlNodeType_EndElement:
                if (open_ != TextSetting::None)
                    Store(std::exchange(open_, TextSetting::None), Trimmed(text_));
                break;
            default:
                break;
            }
        }
        return result == S_FALSE;
    }

    ManifestFacts Facts() { return std::move(facts_); }

private:
    // Calls `visit(name, value)` for each attribute of the element the reader is on.
    template <typename Visit>
    void ForEachAttribute(Visit visit)
    {
        for (HRESULT at = reader_.MoveToFirstAttribute(); at == S_OK; at = reader_.MoveToNextAttribute())
            visit(LocalName(reader_), Value(reader_));
        reader_.MoveToElement();
    }

    void ReadExecutionLevel()
    {
        ForEachAttribute([&](std::wstring_view name, std::wstring_view value) {
            if (name == L"level" && !facts_.executionLevel)
                facts_.executionLevel = NarrowText(Trimmed(value));
            else if (name == L"uiAccess" && !facts_.uiAccess)
                facts_.uiAccess = IsTrue(Trimmed(value));
        });
    }

    void ReadSupportedOs()
    {
        ForEachAttribute([&](std::wstring_view name, std::wstring_view value) {
            if (name == L"Id")
                facts_.supportedOS.push_back(SupportedOsName(NarrowText(Trimmed(value))));
        });
    }

    // The first of each setting counts, as the system's loader takes it.
    void Store(TextSetting setting, const std::wstring& text)
    {
        switch (setting) {
        case TextSetting::DpiAware:
            if (!dpiAware_)
                dpiAware_ = NarrowText(text);
            break;
        case TextSetting::DpiAwareness:
            if (!dpiAwareness_)
                dpiAwareness_ = NarrowText(text);
            break;
        case TextSetting::LongPathAware:
            if (!facts_.longPathAware)
                facts_.longPathAware = IsTrue(text);
            break;
        case TextSetting::ActiveCodePage:
            if (!facts_.activeCodePage)
                facts_.activeCodePage = NarrowText(text);
            break;
        case TextSetting::None:
            break;
        }
        facts_.dpiAwareness = dpiAwareness_ ? dpiAwareness_ : dpiAware_;
    }

    IXmlReader& reader_;
    ManifestFacts facts_;
    TextSetting open_ = TextSetting::None;
    std::wstring text_;
    std::optional<std::string> dpiAware_;
    std::optional<std::string> dpiAwareness_;
};

} // namespace

std::string SupportedOsName(std::string_view id)
{
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 5> kSystems = {{
        {"{e2011457-1546-43c5-a5fe-008deee3d3f0}", "Windows Vista"},
        {"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "Windows 7"},
        {"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "Windows 8"},
        {"{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "Windows 8.1"},
        {"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", "Windows 10 and 11"},
    }};
    for (const auto& [guid, name] : kSystems) {
        if (SameIgnoringAsciiCase(id, guid))
            return std::string(name);
    }
    return std::string(id);
}

ManifestFacts ReadManifest(std::span<const std::uint8_t> xml)
{
    const auto notRead = [](ManifestReading reading) {
        ManifestFacts facts;
        facts.reading = reading;
        return facts;
    };
    if (xml.size() > kManifestLargest)
        return notRead(ManifestReading::TooLarge);
    const CreateXmlReaderFunction create = XmlReaderFactory();
    if (!create)
        return notRead(ManifestReading::NoReader);
    const ComRef<IStream> stream(::SHCreateMemStream(xml.data(), static_cast<UINT>(xml.size())));
    IXmlReader* created = nullptr;
    if (!stream || FAILED(create(kXmlReaderInterface, reinterpret_cast<void**>(&created), nullptr)) || !created)
        return notRead(ManifestReading::NoReader);
    const ComRef<IXmlReader> reader(created);
    // No document type is read (an entity that grows without end), and no depth beyond reason.
    if (FAILED(reader->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Prohibit)) ||
        FAILED(reader->SetProperty(XmlReaderProperty_MaxElementDepth, kDeepestElement)) ||
        FAILED(reader->SetInput(stream.get())))
        return notRead(ManifestReading::NoReader);
    ManifestWalk walk(*reader);
    if (!walk.Walk())
        return notRead(ManifestReading::Damaged);
    ManifestFacts facts = walk.Facts();
    facts.reading = ManifestReading::Read;
    return facts;
}

std::string ManifestNotReadText(ManifestReading reading)
{
    switch (reading) {
    case ManifestReading::Read:
        return {};
    case ManifestReading::Damaged:
        return "damaged";
    case ManifestReading::TooLarge:
        return "not read: larger than " + std::to_string(kManifestLargest / (1024 * 1024)) + " MiB";
    case ManifestReading::Unreadable:
        return "not read: its bytes could not be read";
    case ManifestReading::NoReader:
        break;
    }
    return "not read: the system's XML reader is missing";
}

} // namespace korrimat
