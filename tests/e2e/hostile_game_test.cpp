// Game folders made to hurt the machine: pictures whose headers claim
// enormous sizes and a script that starts itself without end. The game
// must answer with its ordinary failure, at once and in bounded memory.
#include <SDL.h>
#include <SDL_image.h>
#include <sys/resource.h>

#include "e2e_support.h"

namespace yw::e2e {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// The largest resident size, in MiB, of any program this test has run.
long LargestChildMiB() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return usage.ru_maxrss / 1024;
}

// A program folder whose only game is script_world with its autoexec.skr
// replaced; returns the program folder.
fs::path GameWithAutoexec(const fs::path& out, std::string_view autoexec) {
  const fs::path root = MakeProgramFolder(out);
  BuildTestGame("script_world", root, "hostile");
  test::WriteFile(root / "games/hostile/autoexec.skr", autoexec);
  return root;
}

// 12 KiB of BMP whose header declares 65535 x 65535 pixels of 24 bits.
std::string BmpBomb() {
  std::string bmp = "BM";
  auto le32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) bmp.push_back(static_cast<char>(v >> (8 * i)));
  };
  le32(12 * 1024), le32(0), le32(54);
  le32(40), le32(65535), le32(65535);
  bmp += std::string("\x01\x00\x18\x00", 4);  // one plane, 24 bits
  le32(0), le32(0), le32(0), le32(0), le32(0), le32(0);
  bmp.resize(12 * 1024, '\x7f');
  return bmp;
}

// A real 8 x 8 JPEG whose frame header is changed to declare 65500 x 65500.
std::string JpegBomb(const fs::path& dir) {
  const fs::path file = dir / "small.jpg";
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, 8, 8, 24, SDL_PIXELFORMAT_RGB24);
  EXPECT_EQ(IMG_SaveJPG(s, file.string().c_str(), 90), 0);
  SDL_FreeSurface(s);
  std::string jpeg = test::ReadFile(file);
  const size_t frame = jpeg.find("\xFF\xC0");
  EXPECT_NE(frame, std::string::npos);
  if (frame == std::string::npos) return jpeg;
  jpeg.replace(frame + 5, 4, "\xFF\xDC\xFF\xDC");  // height, width: 65500
  return jpeg;
}

// The tile sheet a BMP bomb, the units' sheet a JPEG bomb (the decoder goes
// by the content, not the name): the map loads without its pictures and
// the game goes on to its message.
TEST(HostileGame, PictureBombsAreRefusedBeforeDecoding) {
  const fs::path out = OutputDir("picture-bombs");
  const fs::path root =
      GameWithAutoexec(out,
                       "BEGIN\r\nLOADMAP \"field.map\" \\ ALLES\r\nADDCHARACTER 1\r\n"
                       "SETPOS 4 \\ 3\r\nMSG \"Still here\"\r\nEND\r\n");
  test::WriteFile(root / "games/hostile/tiles.bmp", BmpBomb());
  test::WriteFile(root / "games/hostile/units.bmp", JpegBomb(out));
  Replay r = StartTheOnlyGame();
  r.WaitUntil(1500).Dump("loaded", 100);
  const RunResult run = RunReplay(out, root, r.Text());
  EXPECT_EQ(run.exitCode, 0) << run.stderrText;
  // Each refused picture is named on stderr, with the size it claims.
  for (const char* named : {"tiles.bmp: too large: 65535 x 65535", "units.bmp: too large: 65500"})
    EXPECT_NE(run.stderrText.find(named), std::string::npos) << named << "\n" << run.stderrText;
  const Played p{out};
  const json loaded = p.Dump("loaded");
  EXPECT_EQ(loaded["GameMode"], 5);
  EXPECT_EQ(loaded["Message"], "Still here");
  EXPECT_LT(LargestChildMiB(), 1024);
}

// Counting loops are scripts that start themselves: a count to 1500 runs
// to its end. A 1 MiB script that starts itself without end is refused at
// the 32768th start, when the depth would leave its range, with every level
// sharing the one text; closing the message lets every level run to its end.
TEST(HostileGame, ASelfStartingScriptStopsAtTheDepthLimit) {
  const fs::path out = OutputDir("self-starting");
  const fs::path root =
      GameWithAutoexec(out,
                       "BEGIN\r\nRUNSCRIPT \"count.skr\"\r\nMSG \"Counted \" [str [A]]\r\n"
                       "RUNSCRIPT \"self.skr\"\r\nMSG \"Back in autoexec\"\r\nEND\r\n");
  test::WriteFile(root / "games/hostile/count.skr",
                  "BEGIN\r\nB [A] + 1\r\nA [B]\r\nIF [A] \\ < \\ 1500\r\n"
                  "  RUNSCRIPT \"count.skr\"\r\nENDIF\r\nEND\r\n");
  std::string self = "BEGIN\r\nRUNSCRIPT \"self.skr\"\r\nEND\r\n";
  while (self.size() < (size_t{1} << 20))
    self += "' Lorem ipsum dolor sit amet, padding the script.\r\n";
  test::WriteFile(root / "games/hostile/self.skr", self);
  Replay r = StartTheOnlyGame();
  r.WaitUntil(6000).Dump("counted", 100).Do("key Enter", 40000).Dump("deep", 100);
  r.Do("key Enter", 70000).Dump("back", 100);
  const Played p = Play(out, root, r.Text());
  const json counted = p.Dump("counted");
  EXPECT_EQ(counted["Message"], "Counted 1500");
  EXPECT_EQ(counted["ScriptDepth"], 1);
  const json deep = p.Dump("deep");
  EXPECT_EQ(deep["Message"], "Error: Too many scripts running to start self.skr!");
  EXPECT_EQ(deep["ScriptDepth"], 32767);
  const json back = p.Dump("back");
  EXPECT_EQ(back["Message"], "Back in autoexec");
  EXPECT_EQ(back["ScriptDepth"], 1);
  EXPECT_LT(LargestChildMiB(), 1024);
}

}  // namespace
}  // namespace yw::e2e
