// libFuzzer harness for the INI reader as the field bank uses it: any Fields.ini. Reading must
// not crash or hang, and a value written into a section must read back while every other
// section keeps what it held.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzFile.h"
#include "document/PageForm.h"
#include "formfields/core/FieldBank.h"
#include "platform/IniProfile.h"

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = tessel::fuzz::WriteInput(data, size, ".ini");
    const std::vector<std::string> sections = tessel::GetPrivateProfileSectionNames(path);
    std::vector<tessel::TProfileEntries> before;
    for (const std::string& section : sections) {
        before.push_back(tessel::GetPrivateProfileSection(section, path));
        tessel::GetPrivateProfileInt(section, "FIELD0", 7, path);
    }
    tessel::ReadBankSection(tessel::kFieldBankSection, path);
    tessel::TWebForm form;
    tessel::AppendBasicFields(form, path);

    // A write touches its own section only (the key goes into the first section of that
    // name, or a new section at the end).
    const std::string written = sections.empty() ? std::string("Default Fields") : sections[0];
    if (written.empty() || written.find_first_of("[]") != std::string::npos) {
        return 0;
    }
    tessel::WritePrivateProfileString(written, "FIELD0", "Name|0", path);
    Check(tessel::GetPrivateProfileString(written, "FIELD0", "", path) == "Name|0");
    const std::vector<std::string> after = tessel::GetPrivateProfileSectionNames(path);
    Check(after.size() == sections.size() + (sections.empty() ? 1 : 0));
    for (size_t i = 1; i < sections.size(); ++i) {
        Check(after[i] == sections[i]);
        Check(tessel::GetPrivateProfileSection(sections[i], path) == before[i]);
    }
    return 0;
}
