#include "settings/Settings.h"

#include "orbik/Version.h"
#include "platform/FileSystem.h"
#include "platform/SerialPorts.h"

namespace orbik::settings {

fs::path Settings::ProjectsDir() const {
    return platform::JoinSetting(programDir, projectPath);
}

void Settings::SetPort(std::string_view name) {
    portName = std::string(name);
    portNumber = platform::PortNumberFromName(name);
}

Settings LoadSettings(const fs::path& programDir) {
    Settings s;
    s.programDir = programDir;
    platform::IniFile ini(s.IniPath());
    s.projectPath = ini.Read("Paths", "Project");
    s.defSolo = ini.Read("Paths", "Def_Solo");
    s.defDuo = ini.Read("Paths", "Def_Duo");
    s.defEmpty = ini.Read("Paths", "Def_Empty");
    s.defIr = ini.Read("Paths", "Def_IR");
    s.irIcp = ini.Read("Paths", "IR_ICP");
    s.irIr = ini.Read("Paths", "IR_IR");
    s.rfDbs = ini.Read("Paths", "RF_DBS");
    s.speech = ini.Read("Paths", "Speech");
    s.templates = ini.Read("Paths", "Templates");
    s.programLanguage = ini.Read("Language", "Program");
    s.projectLanguage = ini.Read("Language", "Project");
    s.languageSwitch = ini.Read("Admin", "lang_av", "1") == "1";
    s.SetPort(ini.Read("Port", "Interface"));
    s.verifyAfterSend = ini.Read("Transfer", "Verify", "0") == "1";
    return s;
}

bool StorePort(const Settings& settings, std::string* error) {
    platform::IniFile ini(settings.IniPath());
    ini.Write("Port", "Interface", settings.portName);
    return ini.Save(error);
}

bool StoreLanguages(const Settings& settings, std::string* error) {
    platform::IniFile ini(settings.IniPath());
    ini.Write("Language", "Program", settings.programLanguage);
    ini.Write("Language", "Project", settings.projectLanguage);
    return ini.Save(error);
}

bool StoreVerify(const Settings& settings, std::string* error) {
    platform::IniFile ini(settings.IniPath());
    ini.Write("Transfer", "Verify", settings.verifyAfterSend ? "1" : "0");
    return ini.Save(error);
}

std::string ProgramVersion(const fs::path& iniPath) {
    platform::IniFile ini(iniPath);
    if (ini.HasSection("Version")) return ini.Read("Version", "prog_ver");
    ini.Write("Version", "prog_ver", kProgramVersionShort);
    ini.Save();  // the version shows even when the file cannot be written
    return kProgramVersionShort;
}

TextTable::TextTable(const fs::path& file, std::string language)
    : ini_(file), language_(std::move(language)) {}

std::string TextTable::Lookup(std::string_view section, std::string_view defaultText) const {
    return ini_.Read(section, language_, defaultText);
}

std::string LookupText(const fs::path& textTable, std::string_view section,
                       std::string_view language, std::string_view defaultText) {
    return TextTable(textTable, std::string(language)).Lookup(section, defaultText);
}

}  // namespace orbik::settings
