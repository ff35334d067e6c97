// lodrun verify checks every field of the file records that the program relies on, by the
// rules the builder writes them by: a setup whose streams are intact but whose records the
// program could not install as they say fails, naming the record and the field.
#include <gtest/gtest.h>

#include "support/file_setups.h"

using namespace manifest_test;

namespace {

class Verify : public testing::Test {
 protected:
  // Verifies a setup of two files whose second record is changed; expects exit 1 and `fault`.
  void ExpectFault(const std::function<void(FileRecord&)>& change, const std::string& fault) {
    WriteChangedSetup(folder, "setup.exe", {{"app.exe", Content(5000, 1)}, {"doc.txt", Content(300, 2)}},
                      [&](FileRecord& record, size_t index) {
                        if (index == 1) change(record);
                      });
    const ToolRun verify = RunTool({"verify", folder.Path("setup.exe")});
    EXPECT_EQ(verify.code, 1) << verify.output;
    EXPECT_NE(verify.output.find(fault), std::string::npos) << verify.output;
    EXPECT_NE(verify.output.find("2 of 2 files intact"), std::string::npos) << verify.output;
  }
  ManifestFolder folder;
};

TEST_F(Verify, PassesTheRecordsAsTheBuilderWroteThem) {
  WriteChangedSetup(folder, "setup.exe", {{"app.exe", Content(5000, 1)}, {"Help\\doc.txt", Content(300, 2)}});
  const ToolRun verify = RunTool({"verify", folder.Path("setup.exe")});
  EXPECT_EQ(verify.code, 0) << verify.output;
  EXPECT_NE(verify.output.find("all checks passed"), std::string::npos) << verify.output;
}

TEST_F(Verify, NamesARecordWithAnEmptyName) {
  ExpectFault([](FileRecord& record) { record.name.clear(); },
              "\"\" (file record 2): its name \"\" has an empty name");
}

TEST_F(Verify, NamesARecordWhoseNameWindowsCannotStore) {
  ExpectFault([](FileRecord& record) { record.name = "docs\\a?.txt"; }, "(file record 2): its name \"docs\\a?.txt\" holds one of");
  ExpectFault([](FileRecord& record) { record.name = "..\\doc.txt"; }, "has a part \".\" or \"..\"");
  ExpectFault([](FileRecord& record) { record.name = "doc.txt."; }, "ends a name with a dot or a space");
  ExpectFault([](FileRecord& record) { record.name = "AUX.txt"; }, "names a device of Windows");
  // The setup's bytes (code page 1252) are quoted in UTF-8.
  ExpectFault([](FileRecord& record) { record.name = "B\xFC" "cher\\a?.txt"; },
              "its name \"B\xC3\xBC" "cher\\a?.txt\" holds one of");
}

TEST_F(Verify, NamesATargetPathLongerThanTheProgramsBuffers) {
  // The System folder may be up to 96 characters long: 96 + 1 + 241 outgrow the 259 of a path.
  ExpectFault([](FileRecord& record) {
    record.dirCode = DIR_SYSTEM;
    record.name = std::string(120, 'd') + "\\" + std::string(120, 'e');
  }, "its target path");
}

TEST_F(Verify, NamesNumberedFieldsOutsideTheirWords) {
  ExpectFault([](FileRecord& record) { record.dirCode = 4; }, "its destination is 4, none of \"install\"");
  ExpectFault([](FileRecord& record) { record.installMode = 3; }, "its mode is 3, none of \"remove\"");
  ExpectFault([](FileRecord& record) { record.registration = 9; }, "its registration is 9");
  ExpectFault([](FileRecord& record) { record.endAction = 3; }, "its action at the end is 3");
  ExpectFault([](FileRecord& record) { record.shared = 2; }, "its shared field is 2, expected 0 or 1");
  ExpectFault([](FileRecord& record) { record.flags = 0x80; }, "its flags 128 hold bits the program does not know");
}

TEST_F(Verify, NamesShortcutsWhoseNamesWindowsCannotStore) {
  ExpectFault([](FileRecord& record) { record.groupShortcut = "Guide:2"; }, "its group shortcut \"Guide:2\" holds one of");
  ExpectFault([](FileRecord& record) { record.desktopShortcut = "Tools\\Guide"; }, "its desktop shortcut \"Tools\\Guide\" holds one of");
  ExpectFault([](FileRecord& record) {
    record.groupFolder = "Tools\\\\Demo";
    record.groupShortcut = "Guide";
  }, "its program group \"Tools\\\\Demo\" has an empty name or an empty part");
}

TEST_F(Verify, NamesAVersionBlockThatCannotBeChecked) {
  ExpectFault([](FileRecord& record) {
    record.flags = FE_LANGUAGE_CHECK;
    record.language = 0x10409;
  }, "its language 66569 is no 16-bit language id");
}

TEST_F(Verify, NamesTwoRecordsOfOneTarget) {
  ExpectFault([](FileRecord& record) { record.name = "APP.EXE"; },
              "\"app.exe\" (file record 1) and \"APP.EXE\" (file record 2) go to one target");
}

}  // namespace
