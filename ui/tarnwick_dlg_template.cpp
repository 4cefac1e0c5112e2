// Template 102, the main window: its controls in template order, and its two lists' columns.
#include "ui/tarnwick_dlg_template.h"

namespace tarnwick {

const char kHomePageAddress[] = TARNWICK_HOME_PAGE;
const char kEmailAddress[] = TARNWICK_EMAIL;
const char kShowPageAddress[] = TARNWICK_SHOW_PAGE;

namespace {

using enum ControlKind;

constexpr unsigned kTab = kTabStop;

// Rows are referred to by index from labelRow: keep the order.
// clang-format off
constexpr std::array<ControlTemplate, 27> kControls = {{
    /* 0 */ {kIdOk, PushButton, {362, 19, 45, 14}, "读取", kTab | kDefaultButton | kFlat, kNoLabel},
    /* 1 */ {kIdCancel, PushButton, {362, 36, 93, 14}, "退 出 程序", kTab | kFlat, kNoLabel},
    /* 2 */ {kStaticId, GroupBox, {7, 7, 458, 47}, "Vlan读取设定", kNoStyle, kNoLabel},
    /* 3 */ {kStaticId, StaticText, {15, 21, 41, 8}, "设备IP地址", kNoStyle, kNoLabel},
    /* 4 */ {kIdIpAddress, Edit, {77, 17, 110, 14}, nullptr, kTab, 3},
    /* 5 */ {kStaticId, StaticText, {17, 39, 49, 8}, "只读共同体名", kNoStyle, kNoLabel},
    /* 6 */ {kIdReadCommunity, Edit, {78, 35, 53, 14}, nullptr, kTab, 5},
    /* 7 */ {kStaticId, StaticText, {270, 39, 17, 8}, "超时", kNoStyle, kNoLabel},
    /* 8 */ {kIdTimeout, Edit, {298, 35, 33, 14}, nullptr, kTab, 7},
    /* 9 */ {kStaticId, StaticText, {199, 21, 33, 8}, "设备类型", kNoStyle, kNoLabel},
    /* 10 */ {kIdDeviceType, ComboBox, {235, 16, 95, 104}, nullptr, kTab, 9},
    /* 11 */ {kStaticId, StaticText, {335, 39, 17, 8}, "毫秒", kNoStyle, kNoLabel},
    /* 12 */ {kIdVlanList, ReportList, {16, 73, 182, 160}, nullptr, kTab | kSingleSelection, 13},
    /* 13 */ {kStaticId, GroupBox, {7, 59, 200, 191}, "VLAN列表", kNoStyle, kNoLabel},
    /* 14 */ {kStaticId, GroupBox, {216, 59, 249, 192}, "接口列表", kNoStyle, kNoLabel},
    /* 15 */ {kIdInterfaceList, ReportList, {222, 73, 232, 159}, nullptr, kTab, 14},
    /* 16 */ {kStaticId, StaticText, {18, 238, 81, 8}, "双击显示VLAN接口列表", kNoStyle, kNoLabel},
    /* 17 */ {kStaticId, StaticText, {223, 236, 145, 8}, "双击可以修改接口所属VLAN", kNoStyle, kNoLabel},
    /* 18 */ {kStaticId, StaticText, {136, 39, 49, 8}, "可写共同体名", kNoStyle, kNoLabel},
    /* 19 */ {kIdWriteCommunity, Edit, {194, 35, 60, 14}, nullptr, kTab, 18},
    /* 20 */ {kStaticId, GroupBox, {325, 256, 140, 52}, nullptr, kNoStyle, kNoLabel},
    /* 21 */ {kStaticId, StaticText, {332, 266, 21, 8}, "主页:", kNoStyle, kNoLabel},
    /* 22 */ {kIdHomePageLink, LinkLabel, {353, 265, 106, 9}, kHomePageAddress, kNoStyle, 21},
    /* 23 */ {kStaticId, StaticText, {332, 279, 21, 8}, "电邮:", kNoStyle, kNoLabel},
    /* 24 */ {kIdEmailLink, LinkLabel, {353, 279, 69, 8}, kEmailAddress, kNoStyle, 23},
    /* 25 */ {kIdWriteFlash, PushButton, {409, 19, 45, 14}, "写入FLASH", kTab | kFlat, kNoLabel},
    /* 26 */ {kIdBrowserPanel, Browser, {7, 260, 312, 45}, nullptr, kTab, kNoLabel},
}};
// clang-format on

}  // namespace

const DialogTemplate kTarnwickDlgTemplate = {
    102, "ziTarnwick", 472, 315, "宋体", 9, kControls,
};

}  // namespace tarnwick
