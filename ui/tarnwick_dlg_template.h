// Template 102, the main window: its controls in template order, and its two lists' columns.
#pragma once

#include <array>

#include "dialog_template.h"
#include "report_list.h"

namespace tarnwick {

enum TarnwickDlgControl : int {
    kIdOk = 1,
    kIdCancel = 2,
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

// Short enough for their labels (106 and 69 dialog units).
inline constexpr char kHomePageAddress[] = "http://www.tarnwick.test/";
inline constexpr char kEmailAddress[] = "ask@tarnwick.test";

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
