#include "shell/state_dump.h"

#include <array>
#include <type_traits>

#include "core/engine.h"
#include "core/window_state.h"
#include "menus/list_state.h"
#include "platform/encoding.h"
#include "render/view_state.h"
#include "world/record_fields.h"

namespace yw {

using nlohmann::json;

namespace {

json Text(const std::string& s) { return Cp1252ToUtf8(s); }

// A path as the file system spells it: kept when it is UTF-8, otherwise
// read as the game's 8-bit text.
json PathText(const std::filesystem::path& p) {
  const std::string& bytes = p.native();
  return IsUtf8(bytes) ? bytes : Cp1252ToUtf8(bytes);
}

// The fields of `record` the dump shows, by name.
template <class R, size_t N>
void AddFields(json& j, const R& record, const std::array<RecordField<R>, N>& table) {
  for (const RecordField<R>& field : table) {
    if (!field.info.dumped) continue;
    WithValue(field, record, [&](const auto& v) {
      using V = std::remove_cvref_t<decltype(v)>;
      if constexpr (std::is_same_v<V, std::string>)
        j[std::string(field.info.name)] = Text(v);
      else
        j[std::string(field.info.name)] = v;
    });
  }
}

template <class R, size_t N>
json Fields(const R& record, const std::array<RecordField<R>, N>& table) {
  json j;
  AddFields(j, record, table);
  return j;
}

template <class T, class F>
json Entries(const Table<T>& table, int count, F&& one) {
  json list = json::array();
  for (int i = 1; i <= count && table.Has(i); ++i) list.push_back(one(table[i]));
  return list;
}

json Variables(const World& w) {
  json vars = json::object();
  for (int i = 0; i < 10; ++i) {
    const ScriptVariable& v = w.Variables[i];
    json value = nullptr;
    if (v.value.IsNumber()) value = v.value.Number();
    else if (v.value.IsText()) value = Text(v.value.Text());
    vars[std::string(1, static_cast<char>('A' + i))] = {{"kind", static_cast<int>(v.kind)},
                                                        {"value", value}};
  }
  return vars;
}

}  // namespace

json DumpState(Engine& e, const std::vector<RecordedMessageBox>& boxes) {
  const WindowState& w = e.win;
  const World& wd = e.world;
  json j;
  j["time"] = e.platform.Now();
  j["GameMode"] = static_cast<int32_t>(w.GameMode);
  j["Switsch"] = w.Switsch;
  j["KeyEnabled"] = w.KeyEnabled;
  j["Key"] = w.Key;
  j["LastKey"] = w.LastKey;
  j["Wait4Relase"] = w.Wait4Relase;
  j["ScreenWidth"] = w.ScreenWidth;
  j["ScreenHeight"] = w.ScreenHeight;
  j["Zoom"] = wd.Zoom;
  j["FPS"] = w.FPS;
  j["FPSLimit"] = w.FPSLimit;
  j["SoundOn"] = w.SoundOn;
  j["AmbientName"] = Text(wd.AmbientName);
  j["SingleGameMode"] = w.SingleGameMode;
  j["FontWidth"] = w.FontWidth;
  j["FontHeight"] = w.FontHeight;
  j["CurrentList"] = e.lists.CurrentList;
  j["ListCursor"] = e.lists.ListCursor;
  j["ListScroll"] = e.lists.ListScroll;
  j["PendingMsg"] = Text(w.PendingMsg);
  j["Message"] = Text(w.Message);
  j["KInputBox"] = Text(w.KInputBox);
  j["ScriptDepth"] = wd.ScriptDepth;
  j["SavingActive"] = w.SavingActive;
  j["FightMode"] = w.FightMode;
  j["FightRounds"] = w.FightRounds;
  j["FightDran"] = w.FightDran;
  j["FightDranPlayer"] = w.FightDranPlayer;
  j["FightAfterMovie"] = w.FightAfterMovie;
  j["TargetIndex"] = wd.TargetIndex;
  j["TargetIsParty"] = wd.TargetIsParty;
  j["ChoosingUser"] = wd.ChoosingUser;
  j["ListItemVal"] = wd.ListItemVal;
  j["PlayerPosX"] = wd.PlayerPosX;
  j["PlayerPosY"] = wd.PlayerPosY;
  j["PlayerDirection"] = wd.PlayerDirection;
  j["MapFile"] = Text(wd.MapFile);
  j["TilemapFile"] = Text(wd.TilemapFile);
  j["DoodadmapFile"] = Text(wd.DoodadmapFile);
  j["EventmapFile"] = Text(wd.EventmapFile);
  j["MapWidth"] = wd.MapWidth;
  j["MapHeight"] = wd.MapHeight;
  j["ViewX"] = e.view.ViewX;
  j["ViewY"] = e.view.ViewY;
  j["BufX"] = e.view.BufX;
  j["BufY"] = e.view.BufY;
  j["StepOffsetX"] = e.view.StepOffsetX;
  j["StepOffsetY"] = e.view.StepOffsetY;
  j["WalkDeadline"] = w.WalkDeadline;
  j["VoodooCount"] = wd.VoodooCount;
  j["PopupCount"] = wd.PopupCount;
  j["SFX"] = w.SFX;
  j["SavedResolution"] = w.SavedResolution;
  j["CurrentDir"] = PathText(e.CurrentDir);
  j["Variables"] = Variables(wd);
  j["GameList"] = Entries(wd.GameList, wd.GameCount, [](const std::string& s) { return Text(s); });
  j["Scripts"] =
      Entries(wd.Scripts, wd.ScriptCount, [](const ScriptEntry& s) { return Text(s.Name); });
  j["Characters"] = Entries(wd.Characters, wd.CharacterCount,
                            [](const Character& c) { return Fields(c, kCharacterFields); });
  j["Items"] =
      Entries(wd.Items, wd.ItemCount, [](const Item& it) { return Fields(it, kItemFields); });
  // A fighter's own fields over its character's (a member's own NAME).
  j["Party"] = Entries(wd.Party, wd.PartyCount, [](const PartyMember& m) {
    json o = Fields(m.character, kCharacterFields);
    AddFields(o, m, kPartyMemberFields);
    return o;
  });
  j["Enemies"] = Entries(wd.Enemies, wd.EnemyCount, [](const Enemy& en) {
    json o = Fields(en.character, kCharacterFields);
    AddFields(o, en, kEnemyFields);
    return o;
  });
  j["Npcs"] = Entries(wd.Npcs, wd.NpcCount, [](const Npc& n) {
    json o = Fields(n, kNpcFields);
    o["actorActive"] = n.actor.active;
    return o;
  });
  json mb = json::array();
  for (const auto& b : boxes) mb.push_back({{"title", Text(b.title)}, {"text", Text(b.text)}});
  j["MessageBoxes"] = mb;
  return j;
}

}  // namespace yw
