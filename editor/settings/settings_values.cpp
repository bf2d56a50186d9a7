// The shared values of the settings files and their string resources.
#include "editor/settings/settings_values.h"

#include "platform/core/string_table.h"
#include "platform/core/value_coercion.h"

namespace tabulon {

namespace {

const platform::StringEntry kSettingsStrings[] = {
    {unsigned(DateFormat::ansi), "yyyy-mm-dd\n%Y-%m-%d"},
    {unsigned(DateFormat::usa), "mm/dd/yyyy\n%m/%d/%Y"},
    {unsigned(DateFormat::euro), "dd.mm.yyyy\n%d.%m.%Y"},
};

// The part of a "label\npattern" resource before (0) or after (1) the break.
std::string ResourcePart(DateFormat eFormat, int nPart) {
    RegisterSettingsStrings();
    std::string strText = platform::LoadString(unsigned(eFormat));
    size_t nBreak = strText.find('\n');
    if (nBreak == std::string::npos) return nPart == 0 ? strText : std::string();
    return nPart == 0 ? strText.substr(0, nBreak) : strText.substr(nBreak + 1);
}

}  // namespace

void RegisterSettingsStrings() {
    static const bool bDone = (platform::RegisterStrings(kSettingsStrings), true);
    (void)bDone;
}

bool IsTrue(std::string_view strValue) { return platform::EqualsNoCase(strValue, "TRUE"); }

const char* TrueFalseValue(bool b) { return b ? "True" : "False"; }

unsigned OpenModeFromValue(std::string_view strValue) {
    if (platform::EqualsNoCase(strValue, "READWRITE")) return kOpenReadWrite;
    if (platform::EqualsNoCase(strValue, "LOCKFILE")) return kOpenExclusive;
    return kOpenReadOnly;
}

const char* OpenModeValue(unsigned nMode) {
    if (nMode == kOpenReadWrite) return "ReadWrite";
    if (nMode == kOpenExclusive) return "LockFile";
    return "ReadOnly";
}

CodePageSetting CodePageFromValue(std::string_view strValue) {
    if (platform::EqualsNoCase(strValue, "DOS")) return CodePageSetting::dos;
    if (platform::EqualsNoCase(strValue, "WIN")) return CodePageSetting::win;
    return CodePageSetting::automatic;
}

const char* CodePageValue(CodePageSetting eCodePage) {
    switch (eCodePage) {
    case CodePageSetting::dos: return "DOS";
    case CodePageSetting::win: return "WIN";
    default: return "Auto";
    }
}

DateFormat DateFormatFromValue(std::string_view strValue) {
    if (platform::EqualsNoCase(strValue, "ANSI")) return DateFormat::ansi;
    if (platform::EqualsNoCase(strValue, "USA")) return DateFormat::usa;
    return DateFormat::euro;
}

const char* DateFormatValue(DateFormat eFormat) {
    switch (eFormat) {
    case DateFormat::ansi: return "ANSI";
    case DateFormat::usa: return "USA";
    default: return "EURO";
    }
}

std::string DateFormatLabel(DateFormat eFormat) { return ResourcePart(eFormat, 0); }

std::string DateFormatPattern(DateFormat eFormat) { return ResourcePart(eFormat, 1); }

}  // namespace tabulon
