// Finding pictures by name (the game folder first, .bmp before .jpg before
// .png) and pictures as real tools write them.
#include "render/pictures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "shell/engine.h"
#include "test_support.h"

namespace yw {
namespace {

namespace fs = std::filesystem;
using test::WriteFile;

// A program folder and a game folder below it, the game folder current.
struct Folders {
  test::TestEngine t;
  Engine& e = t.engine;
  fs::path program = t.dir.path();
  fs::path game = t.dir.path() / "games" / "quest";
  Folders() {
    fs::create_directories(game);
    e.CurrentDir = game;
  }
};

TEST(FindPic, GameFolderFirstBmpBeforeJpgAndNamedExtensionsOnly) {
  // Each case: files present (g = game folder, p = program folder), the
  // name asked for and where it is found ("" = nowhere).
  const struct Case {
    std::vector<std::string> files;
    const char* name;
    std::string found;
  } cases[] = {
      {{"g/hero.bmp", "g/hero.jpg", "p/hero.bmp"}, "Hero", "g/hero.bmp"},
      {{"g/hero.jpg", "p/hero.bmp"}, "Hero", "g/hero.jpg"},
      {{"p/hero.bmp", "p/hero.jpg"}, "Hero", "p/hero.bmp"},
      {{"p/hero.jpg"}, "Hero", "p/hero.jpg"},
      {{}, "Hero", ""},
      {{"g/town.bmp", "p/town.bmp"}, "Town.JPG", ""},  // no .bmp alternative
      {{"g/town.bmp", "p/town.jpg"}, "Town.JPG", "p/town.jpg"},
      {{"g/TOWN.jpg"}, "town.Jpg", "g/TOWN.jpg"},              // any letter case on disk
      {{"g/pics/Wall.bmp"}, "PICS\\wall", "g/pics/Wall.bmp"},  // backslashes name folders
      {{"g/x.bmp"}, "", ""},
      {{"g/x.bmp"}, "   ", ""},
      {{}, "..\\..\\nothing", ""},
      {{"g/tiles.png"}, "Tiles.PNG", "g/tiles.png"},  // as authoring tools save sheets
      {{"g/tiles.png", "p/tiles.bmp"}, "tiles", "g/tiles.png"},
      {{"g/tiles.png", "g/tiles.jpg"}, "tiles", "g/tiles.jpg"},
      {{"g/tiles.png", "g/tiles.jpeg"}, "tiles", "g/tiles.jpeg"},
  };
  for (const Case& c : cases) {
    Folders f;
    auto place = [&](const std::string& where) {
      return (where[0] == 'g' ? f.game : f.program) / where.substr(2);
    };
    for (const std::string& file : c.files) WriteFile(place(file), "x");
    EXPECT_EQ(FindPic(f.e, c.name), c.found.empty() ? fs::path() : place(c.found)) << c.name;
  }
  Folders f;
  fs::create_directories(f.game / "dir.bmp");  // a folder is not a picture
  EXPECT_EQ(FindPic(f.e, "dir.bmp"), fs::path());
  EXPECT_EQ(FindPic(f.e, "dir"), fs::path());
}

// Writes the picture variants into `dir`: PIL's encoders where they write
// the variant, the rest by hand. Each holds four 8 x 8 blocks, red, green,
// blue and brown (128, 64, 32) from the top left, so that JPEG keeps each
// block's colour.
constexpr const char* kMakeVariants = R"(
import struct, sys
from PIL import Image
d = sys.argv[1]
blocks = [(255, 0, 0), (0, 255, 0), (0, 0, 255), (128, 64, 32)]
im = Image.new('RGB', (16, 16))
for i, c in enumerate(blocks):
    im.paste(c, ((i % 2) * 8, (i // 2) * 8, (i % 2) * 8 + 8, (i // 2) * 8 + 8))
im.save(d + '/rgb24.bmp')
im.convert('P', palette=Image.ADAPTIVE, colors=4).save(d + '/pal8.bmp')
im.save(d + '/tiles.png')
im.save(d + '/photo.jpg', quality=95, subsampling=0)
im.convert('CMYK').save(d + '/cmyk.jpg', quality=95)
j = bytearray(open(d + '/photo.jpg', 'rb').read())
sof = j.index(b'\xff\xc0')
j[sof + 4] = 12
open(d + '/deep.jpg', 'wb').write(j)
def bmp(name, header, bits, pixel, extra=b''):
    stride = (16 * bits + 31) // 32 * 4
    rows = b''
    for y in range(15, -1, -1):
        row = b''.join(pixel(im.getpixel((x, y))) for x in range(16))
        rows += row + b'\0' * (stride - len(row))
    at = 14 + len(header) + len(extra)
    open(d + '/' + name, 'wb').write(b'BM' + struct.pack('<IHHI', at + len(rows), 0, 0, at) + header + extra + rows)
def masked(r, g, b, bits):
    def shift(v, m):
        lo = (m & -m).bit_length() - 1
        return (v * (m >> lo) // 255) << lo
    fmt = '<I' if bits == 32 else '<H'
    return lambda p: struct.pack(fmt, shift(p[0], r) | shift(p[1], g) | shift(p[2], b))
for name, bits, masks in [('bf32.bmp', 32, (0x3FF00000, 0x000FFC00, 0x000003FF)),
                          ('bf32swap.bmp', 32, (0x0000FF00, 0x00FF0000, 0xFF000000)),
                          ('bf16.bmp', 16, (0xF800, 0x07E0, 0x001F))]:
    info = struct.pack('<IiiHHIIiiII', 40, 16, 16, 1, bits, 3, 0, 2835, 2835, 0, 0)
    bmp(name, info, bits, masked(*masks, bits), struct.pack('<III', *masks))
bmp('os2v2.bmp', struct.pack('<IIIHH', 16, 16, 16, 1, 24), 24, lambda p: bytes((p[2], p[1], p[0])))
open(d + '/cut.bmp', 'wb').write(b'BM\x10\0\0\0')
open(d + '/note.jpg', 'wb').write(b'not a picture at all')
)";

std::string PythonWithPil() {
  for (const char* python : {"/usr/bin/python3", "python3"}) {
    const std::string cmd = std::string(python) + " -c 'import PIL' 2> /dev/null";
    if (std::system(cmd.c_str()) == 0) return python;
  }
  return {};
}

TEST(Pictures, VariantsShowOrAreNamed) {
  const std::string python = PythonWithPil();
  if (python.empty()) GTEST_SKIP() << "python3 with PIL is not installed (scripts/install-deps)";
  Folders f;
  f.e.world.Zoom = 1.0f;
  WriteFile(f.game / "make.py", kMakeVariants);
  const std::string cmd =
      python + " '" + (f.game / "make.py").string() + "' '" + f.game.string() + "'";
  ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
  const struct Variant {
    const char* name;
    int tolerance;       // per channel
    const char* reason;  // named on stderr instead of showing
  } variants[] = {
      {"rgb24", 0, ""},
      {"pal8", 0, ""},
      {"tiles", 0, ""},
      {"photo.jpg", 6, ""},
      {"cmyk.jpg", 6, ""},
      {"bf32", 1, ""},
      {"bf32swap", 0, ""},
      {"bf16", 8, ""},
      {"os2v2", 0, ""},
      {"deep.jpg", 0, "unsupported: 12-bit JPEG"},
      {"cut.bmp", 0, "picture header malformed or cut short"},
      {"note.jpg", 0, "not a BMP, JPEG or PNG file"},
  };
  const uint32_t blocks[] = {0xFF0000, 0x00FF00, 0x0000FF, 0x804020};
  for (const Variant& v : variants) {
    Surface s;
    testing::internal::CaptureStderr();
    LoadPicture(f.e, v.name, s);
    LoadPicture(f.e, v.name, s);  // named once only
    const std::string err = testing::internal::GetCapturedStderr();
    if (*v.reason) {
      EXPECT_TRUE(s.Empty()) << v.name;
      EXPECT_NE(err.find(std::string(v.name) + ": " + v.reason), std::string::npos)
          << v.name << ": " << err;
      EXPECT_EQ(err.find('\n'), err.size() - 1) << v.name << ": " << err;
      continue;
    }
    EXPECT_EQ(err, "") << v.name;
    ASSERT_EQ(s.Width(), 16) << v.name;
    ASSERT_EQ(s.Height(), 16) << v.name;
    for (int i = 0; i < 4; ++i) {
      const uint32_t got = s.At((i % 2) * 8 + 4, (i / 2) * 8 + 4), want = blocks[i];
      for (int shift : {16, 8, 0}) {
        const int a = static_cast<int>((got >> shift) & 0xFF);
        const int b = static_cast<int>((want >> shift) & 0xFF);
        EXPECT_LE(std::abs(a - b), v.tolerance)
            << v.name << " block " << i << ": " << std::hex << got << " for " << want;
      }
    }
  }
}

}  // namespace
}  // namespace yw
