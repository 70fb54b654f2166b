#pragma once
// The report's facts made by kind: each with its text label and its JSON key.

#include "report/Report.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace korrimat {

inline ReportField TextField(std::string label, std::string key, std::string text)
{
    ReportField field{std::move(label), std::move(key), {}, {}};
    field.value.kind = ReportValue::Kind::Text;
    field.value.text = std::move(text);
    return field;
}

inline ReportField NumberField(std::string label, std::string key, std::uint64_t number, std::string shown = {})
{
    ReportField field{std::move(label), std::move(key), {}, std::move(shown)};
    field.value.kind = ReportValue::Kind::Number;
    field.value.number = number;
    return field;
}

inline ReportField NullField(std::string label, std::string key, std::string said)
{
    ReportField field{std::move(label), std::move(key), {}, {}};
    field.value.text = std::move(said);
    return field;
}

inline ReportField BooleanField(std::string label, std::string key, bool flag, std::string shown = {})
{
    ReportField field{std::move(label), std::move(key), {}, std::move(shown)};
    field.value.kind = ReportValue::Kind::Boolean;
    field.value.flag = flag;
    return field;
}

inline ReportField TextsField(std::string label, std::string key, std::vector<std::string> texts)
{
    ReportField field{std::move(label), std::move(key), {}, {}};
    field.value.kind = ReportValue::Kind::Texts;
    field.value.texts = std::move(texts);
    return field;
}

inline ReportField ObjectField(std::string label, std::string key, ReportObject object, std::string shown = {})
{
    ReportField field{std::move(label), std::move(key), {}, std::move(shown)};
    field.value.kind = ReportValue::Kind::Object;
    field.value.objects.push_back(std::move(object));
    return field;
}

// A yes or no the file may not say: null, with `said` in the text report, when it does not.
inline ReportField MaybeBooleanField(std::string label, std::string key, const std::optional<bool>& flag,
                                     std::string said = "not said")
{
    return flag ? BooleanField(std::move(label), std::move(key), *flag)
                : NullField(std::move(label), std::move(key), std::move(said));
}

inline ReportField MaybeTextField(std::string label, std::string key, const std::optional<std::string>& text,
                                  std::string said = "not said")
{
    return text ? TextField(std::move(label), std::move(key), *text)
                : NullField(std::move(label), std::move(key), std::move(said));
}

} // namespace korrimat
