#pragma once
// The main window's menu: every item with its name, caption and whether it is created hidden.
// The Win32 window builds its menu from this table; the model keeps each item's state.

#include <array>
#include <string_view>

namespace orv {

enum class MenuId : int {
  File1, Read1, Save1, SwitchScreen1, OneSheet1, DiskReport1, N1, Exit1, Test1, Test21,
  D1, HDD1, HDD2, HDDG1, N2, HDDE1,
  Edit1, ReadSetting1, SaveSetting1, ItemList1, ItemList2,
  S1, SearchStr1, LOCALMACHINE1, HKEYLOCALMACHINESystem21, HKEYCURRENTUSERSoftware31,
  HKEYCURRENTUSERSystem41, HKEYLOCALMACHINESoftwareClasses11, RunningProg1, FileVersion1,
  Help1, Help2, Version1,
  Count
};

inline constexpr int kMenuCount = static_cast<int>(MenuId::Count);

struct MenuEntry {
  MenuId id;
  MenuId parent;  // the top-level menu; a top-level menu names itself
  std::string_view name;
  std::string_view caption;  // "-" is a separator
  bool createdHidden;
};

// All items in menu order: each top-level menu followed by its items.
const std::array<MenuEntry, kMenuCount>& MenuLayout();
const MenuEntry& MenuEntryOf(MenuId id);

struct MenuItemState {
  bool visible = true;
  bool enabled = true;
};

}  // namespace orv
