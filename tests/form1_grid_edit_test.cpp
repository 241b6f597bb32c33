// The window's range commands and undo against scripted controls: what the
// user does across tabs, and the presets that OK then saves.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/form1.h"
#include "tests/support/fake_controls.h"
#include "tests/support/files.h"

namespace fs = std::filesystem;

namespace {

struct EditRun {
  TempDir dir;
  FakeControls ui{dir / "t905.exe"};
  TForm1 form{ui};
  EditRun() {
    ui.Attach(form);
    form.FormShow();
  }
  void Select(int left, int top, int right, int bottom) { ui.selection.SetRange(left, top, right, bottom); }
  std::string Cell(int col, int row) const { return ui.GridCell(col, row); }
  // The saved width of a table's cell after OK.
  std::vector<std::string> SavedPresets() {
    form.Button1Click();
    return SplitCrLf(ReadFileBytes(dir / "t905.dat"));
  }
};

std::string Saved(const std::vector<std::string>& lines, int table, int col, int row) {
  return lines[static_cast<std::size_t>(5 + 257 * (table - 1) + (row - 1) * 16 + (col - 1))];
}

}  // namespace

TEST(Form1GridEdit, FillDeleteAndCutActOnTheRangeOnly) {
  EditRun r;
  r.Select(2, 2, 3, 3);
  r.ui.TypeIntoCell(2, 2, "25");
  r.form.GridFill("25");
  EXPECT_EQ(r.Cell(2, 2), "25");
  EXPECT_EQ(r.Cell(3, 3), "25");
  EXPECT_EQ(r.Cell(4, 3), "-1");
  r.Select(3, 3, 3, 3);
  r.form.GridCut();
  EXPECT_EQ(r.ui.clipboard, "25\r\n");
  EXPECT_EQ(r.Cell(3, 3), "-1");
  // One undo takes back the cut, the next the whole fill with its typing.
  r.form.GridUndo();
  EXPECT_EQ(r.Cell(3, 3), "25");
  r.form.GridUndo();
  EXPECT_EQ(r.Cell(2, 2), "-1");
  EXPECT_EQ(r.Cell(3, 3), "-1");
  EXPECT_FALSE(r.form.CanUndo());
}

TEST(Form1GridEdit, WholeTableCopiesToAnotherTabAndUndoIsPerTab) {
  EditRun r;
  r.ui.TypeIntoCell(1, 1, "10");
  r.ui.TypeIntoCell(16, 16, "30000");
  r.ui.selection.SelectAll();
  r.form.GridCopy();
  r.ui.ClickTab(2);
  r.ui.selection.MoveTo(1, 1);
  r.form.GridPaste();
  EXPECT_EQ(r.Cell(1, 1), "10");
  EXPECT_EQ(r.Cell(16, 16), "30000");
  EXPECT_EQ(r.ui.selection.Count(), 256);
  // Undo the paste on tab ③, then the typing on tab ①, which is shown again.
  r.form.GridUndo();
  EXPECT_EQ(r.ui.tab, 2);
  EXPECT_EQ(r.Cell(1, 1), "-1");
  r.form.GridUndo();
  EXPECT_EQ(r.ui.tab, 0);
  EXPECT_EQ(r.Cell(16, 16), "-1");
  EXPECT_EQ(r.Cell(1, 1), "10");
  r.form.GridRedo();
  r.form.GridRedo();
  EXPECT_EQ(r.ui.tab, 2);
  const auto saved = r.SavedPresets();
  EXPECT_EQ(Saved(saved, 1, 16, 16), "30000");
  EXPECT_EQ(Saved(saved, 3, 1, 1), "10");
  EXPECT_EQ(Saved(saved, 3, 16, 16), "30000");
  EXPECT_EQ(saved[3], "3");
}

TEST(Form1GridEdit, BadPasteChangesNothingAndSaysWhere) {
  EditRun r;
  r.ui.TypeIntoCell(1, 1, "5");
  r.ui.CommitGridEdit();
  r.ui.selection.MoveTo(1, 1);
  r.ui.clipboard = "1\t2\r\n3\t0.5\r\n";
  r.form.GridPaste();
  ASSERT_EQ(r.ui.messages.size(), 1u);
  EXPECT_NE(r.ui.messages[0].find("2\x8D\x73\x96\xDA" "2\x97\xF1\x96\xDA"), std::string::npos);  // 2行目2列目
  EXPECT_EQ(r.Cell(1, 1), "5");
  EXPECT_EQ(r.Cell(2, 1), "-1");
  r.ui.selection.MoveTo(16, 1);
  r.ui.clipboard = "1\t2";
  r.form.GridPaste();
  EXPECT_EQ(r.ui.messages.size(), 2u);
  EXPECT_EQ(r.Cell(16, 1), "-1");
}

TEST(Form1GridEdit, AllButtonsImportAndCommentAreStepsAndRedoIsDroppedByANewChange) {
  EditRun r;
  WriteFileBytes(r.dir / "env.jwf", "LAYWID_0 = 7 8\r\n");
  r.ui.TypeComment("a");
  r.ui.TypeComment("ab");  // typing on in the comment: still one step
  r.ui.confirmAnswers = {true};
  r.form.Button5Click();  // ALL 0
  EXPECT_EQ(r.ui.edit1, "");
  r.ui.dialogAnswers.push_back(r.dir / "env.jwf");
  r.form.Button4Click();
  EXPECT_EQ(r.Cell(2, 1), "8");
  EXPECT_EQ(r.Cell(3, 1), "-1");
  r.form.GridUndo();  // the import
  EXPECT_EQ(r.Cell(2, 1), "0");
  r.form.GridUndo();  // ALL 0
  EXPECT_EQ(r.Cell(2, 1), "-1");
  EXPECT_EQ(r.ui.edit1, "ab");
  r.form.GridUndo();  // the comment
  EXPECT_EQ(r.ui.edit1, "");
  EXPECT_FALSE(r.form.CanUndo());
  r.form.GridRedo();
  EXPECT_EQ(r.ui.edit1, "ab");
  EXPECT_TRUE(r.form.CanRedo());
  r.ui.TypeIntoCell(4, 4, "1");
  r.ui.CommitGridEdit();
  EXPECT_FALSE(r.form.CanRedo());
  // A No to ALL -1 is no step.
  r.form.Button3Click();
  r.form.GridUndo();
  EXPECT_EQ(r.Cell(4, 4), "-1");
}

TEST(Form1GridEdit, UndoneToTheStartSavesTheFileAsBefore) {
  EditRun r;
  r.ui.selection.SelectAll();
  r.form.GridDelete();
  r.ui.clipboard = "100";
  r.form.GridPaste();
  r.ui.ClickTab(5);
  r.ui.confirmAnswers = {true};
  r.form.Button5Click();
  r.form.GridUndo();
  r.form.GridUndo();
  r.form.GridUndo();
  EXPECT_FALSE(r.form.CanUndo());
  r.ui.ClickTab(0);
  const auto saved = r.SavedPresets();
  for (int t = 1; t <= 20; ++t) {
    for (int i = 1; i <= 16; ++i) ASSERT_EQ(Saved(saved, t, i, i), "-1") << t;
  }
}
