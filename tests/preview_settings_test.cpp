// The pane's settings file: what it reads, what it ignores, and a round trip.
#include "app/preview_settings.h"

#include <gtest/gtest.h>

#include "tests/support/files.h"

namespace {

TEST(PreviewSettings, ParsesWhatItKnowsAndKeepsDefaultsForTheRest) {
  const struct {
    const char* name;
    const char* text;
    bool shown, after;
    int width, height;
  } cases[] = {
      {"empty", "", false, false, 480, 311},
      {"all set", "shown=1\r\nafter=1\r\nwidth=600\r\nheight=400\r\n", true, true, 600, 400},
      {"LF only, blanks", " shown = 1 \nwidth= 500\n", true, false, 500, 311},
      {"bad numbers ignored", "shown=yes\nwidth=12a\nheight=\n", false, false, 480, 311},
      {"sizes held in range", "width=5\nheight=99999\n", false, false, 160, 4000},
      {"unknown keys and lines", "colour=3\njunk\n=1\nafter=1", false, true, 480, 311},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const TPreviewSettings s = ParsePreviewSettings(c.text);
    EXPECT_EQ(s.shown, c.shown);
    EXPECT_EQ(s.after, c.after);
    EXPECT_EQ(s.width, c.width);
    EXPECT_EQ(s.height, c.height);
  }
}

TEST(PreviewSettings, SavedBesideThePresetFileAndReadBack) {
  TempDir dir;
  const auto path = PreviewSettingsPathFor(dir / "t905.exe");
  EXPECT_EQ(path.filename(), "t905.view");
  EXPECT_FALSE(LoadPreviewSettings(path).shown);  // no file: defaults
  TPreviewSettings s;
  s.shown = true;
  s.after = true;
  s.width = 640;
  s.height = 350;
  ASSERT_TRUE(SavePreviewSettings(path, s));
  const TPreviewSettings back = LoadPreviewSettings(path);
  EXPECT_TRUE(back.shown);
  EXPECT_TRUE(back.after);
  EXPECT_EQ(back.width, 640);
  EXPECT_EQ(back.height, 350);
  EXPECT_FALSE(std::filesystem::exists(path.string() + ".part"));
  // A folder that cannot take the file: false, and nothing left behind.
  EXPECT_FALSE(SavePreviewSettings(dir / "missing" / "t905.view", s));
}

}  // namespace
