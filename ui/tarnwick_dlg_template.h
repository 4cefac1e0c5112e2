// Template 102, the main window: its controls in template order, and its two lists' columns.
#pragma once

#include <array>

#include "ui/framework/dialog_template.h"
#include "ui/framework/report_list.h"

namespace tarnwick {

enum TarnwickDlgControl : int {
    kIdOk = IDOK,
    kIdCancel = IDCANCEL,
    kIdIpAddress = 1000,
    kIdReadCommunity = 1001,
    kIdTimeout = 1002,
    kIdDeviceType = 1003,
    kIdVlanList = 1004,
    kIdInterfaceList = 1005,
    kIdWriteCommunity = 1006,
    kIdWriteFlash = 1007,
    kIdHomePageLink = 1008,
    kIdEmailLink = 1009,
    kIdBrowserPanel = 1011,
};

// The maker's addresses, chosen when the program is built (TARNWICK_HOME_PAGE, TARNWICK_EMAIL,
// TARNWICK_SHOW_PAGE). The captions must stay short enough for their labels (106 and 69 dialog
// units): the home page and the e-mail address are shown as they are.
extern const char kHomePageAddress[];
extern const char kEmailAddress[];
// The page the browser panel opens at start-up.
extern const char kShowPageAddress[];

// String 101, the system menu's About item.
inline constexpr char kAboutItemText[] = "关于 Tarnwick(&A)...";

extern const DialogTemplate kTarnwickDlgTemplate;

inline constexpr std::array<ReportColumn, 2> kVlanListColumns = {{
    {"Vlan ID", 125},
    {"Vlan 名称", 125},
}};

inline constexpr std::array<ReportColumn, 3> kInterfaceListColumns = {{
    {"Port ID", 75},
    {"Interface ID", 125},
    {"Interface 名称", 125},
}};

// The device-type combo box's entries, in this order; the box does not sort.
inline constexpr std::array<const char*, 2> kDeviceTypes = {"zi网络设备", ""};

}  // namespace tarnwick
