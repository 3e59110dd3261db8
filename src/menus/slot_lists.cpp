// The save slots (list 3) and load slots (list 14): five saved games per
// game, described by the text stored at the start of each slot file.
#include <algorithm>
#include <array>
#include <cstdio>

#include "core/engine.h"
#include "core/window_state.h"
#include "menus/list_kinds.h"
#include "menus/list_menu.h"
#include "platform/regular_file.h"
#include "render/compose.h"
#include "render/dialogs.h"
#include "render/surfaces.h"
#include "render/view_state.h"
#include "sim/game_files.h"
#include "sim/save_folder.h"
#include "world/paths.h"

namespace yw {

namespace {

// The start of a slot file: version byte, description length, description.
constexpr size_t kHeaderMax = 2 + 255;

bool KnownVersion(unsigned char version) { return version == 1 || version == 2; }

void ForgetKeptPictures(Engine& e) {
  e.view.KeptTilePic.clear();
  e.view.KeptDoodadPic.clear();
  e.view.KeptUnitPic.clear();
  e.view.KeptItemPic.clear();
}

}  // namespace

std::optional<std::string> SlotDescription(Engine& e, int slot) {
  const auto file = ResolvePath(SaveFolder(e), SlotFileName(slot));
  if (!file) return std::nullopt;
  const FilePtr in = OpenRegularFile(*file);
  if (!in) return std::nullopt;
  std::array<char, kHeaderMax> head{};
  const size_t got = std::fread(head.data(), 1, head.size(), in.get());
  if (got < 1 || !KnownVersion(static_cast<unsigned char>(head[0]))) return std::nullopt;
  // A file that ends inside its description shows what is there.
  const size_t start = std::min<size_t>(2, got);
  const size_t length = got >= 2 ? static_cast<unsigned char>(head[1]) : 0;
  std::string text(head.data() + start, std::min(length, got - start));
  if (text.empty()) return "No name";
  return text;
}

ListEntries SlotEntries(Engine& e) {
  ListEntries entries;
  for (int slot = 1; slot <= kSlotCount; ++slot)
    entries.push_back({SlotDescription(e, slot).value_or("<Empty>"), static_cast<int16_t>(slot)});
  return entries;
}

// Asks for the slot's description; the main loop's save-list state writes
// the slot once the text is confirmed (or shows the slots again).
void EnterSaveSlot(Engine& e, int16_t slot) {
  ShowKInputBox(e, "Input game slot description:", SlotDescription(e, slot).value_or(""));
}

void LeaveSaveSlots(Engine& e) {
  BufFlip(e);
  Drawlist(e, list::kMainMenu, true);
  e.win.GameMode = Mode::Menu;
}

// A slot that does not load leaves the running game as it was and the list
// open. A saved game of a known version that does not read back also gets a
// message; an empty slot or a file of another version stays silent, as the
// list shows it "<Empty>".
void EnterLoadSlot(Engine& e, int16_t slot) {
  const Surface under = e.pics.Frontbuf;
  ShowNotice(e, "Loading...");
  ForgetKeptPictures(e);
  if (LoadState(e, SlotFileName(slot), false)) {
    // The map is drawn over a clean screen, not over the title or the list.
    e.pics.Frontbuf.Clear();
    e.win.GameMode = Mode::Map;
    // The Enter that chose the slot must not also act on the map.
    e.win.Wait4Relase = true;
    return;
  }
  e.pics.Frontbuf = under;
  Drawlist(e, list::kLoadSlots, false);
  if (SlotDescription(e, slot))
    DrawMsg(e, "Error: The saved game could not be loaded!", e.win.GameMode);
}

// Back to where the load slots were opened: the in-game main menu or the
// title menu over the title picture.
void LeaveLoadSlots(Engine& e) {
  if (e.win.Switsch == switsch::kLoadSlotsFromMenu) {
    LeaveSaveSlots(e);
    return;
  }
  Surface& front = e.pics.Frontbuf;
  BitBlt(front, 0, 0, front.Width(), front.Height(), e.pics.Backbuf, 0, 0, Rop::SrcCopy);
  Drawlist(e, list::kTitleMenu, true);
  e.win.GameMode = Mode::SingleGameMenu;
}

}  // namespace yw
