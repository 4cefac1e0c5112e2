// Template 102, the main window: its controls in template order, and its two lists' columns.
#include "ui/tarnwick_dlg_template.h"

namespace tarnwick {

const char kHomePageAddress[] = TARNWICK_HOME_PAGE;
const char kEmailAddress[] = TARNWICK_EMAIL;
const char kShowPageAddress[] = TARNWICK_SHOW_PAGE;

namespace {

using enum ControlKind;

constexpr unsigned kTab = kTabStop;

// A static text or group box names the control whose ID ends its row (its accessible name).
// clang-format off
constexpr std::array<ControlTemplate, 27> kControls = {{
    {kIdOk, PushButton, {362, 19, 45, 14}, "读取", kTab | kDefaultButton | kFlat, kNoLabel},
    {kIdCancel, PushButton, {362, 36, 93, 14}, "退 出 程序", kTab | kFlat, kNoLabel},
    {kStaticId, GroupBox, {7, 7, 458, 47}, "Vlan读取设定", kNoStyle, kNoLabel},
    {kStaticId, StaticText, {15, 21, 41, 8}, "设备IP地址", kNoStyle, kIdIpAddress},
    {kIdIpAddress, Edit, {77, 17, 110, 14}, nullptr, kTab, kNoLabel},
    {kStaticId, StaticText, {17, 39, 49, 8}, "只读共同体名", kNoStyle, kIdReadCommunity},
    {kIdReadCommunity, Edit, {78, 35, 53, 14}, nullptr, kTab, kNoLabel},
    {kStaticId, StaticText, {270, 39, 17, 8}, "超时", kNoStyle, kIdTimeout},
    {kIdTimeout, Edit, {298, 35, 33, 14}, nullptr, kTab, kNoLabel},
    {kStaticId, StaticText, {199, 21, 33, 8}, "设备类型", kNoStyle, kIdDeviceType},
    {kIdDeviceType, ComboBox, {235, 16, 95, 104}, nullptr, kTab, kNoLabel},
    {kStaticId, StaticText, {335, 39, 17, 8}, "毫秒", kNoStyle, kNoLabel},
    {kIdVlanList, ReportList, {16, 73, 182, 160}, nullptr, kTab | kSingleSelection, kNoLabel},
    {kStaticId, GroupBox, {7, 59, 200, 191}, "VLAN列表", kNoStyle, kIdVlanList},
    {kStaticId, GroupBox, {216, 59, 249, 192}, "接口列表", kNoStyle, kIdInterfaceList},
    {kIdInterfaceList, ReportList, {222, 73, 232, 159}, nullptr, kTab, kNoLabel},
    {kStaticId, StaticText, {18, 238, 81, 8}, "双击显示VLAN接口列表", kNoStyle, kNoLabel},
    {kStaticId, StaticText, {223, 236, 145, 8}, "双击可以修改接口所属VLAN", kNoStyle, kNoLabel},
    {kStaticId, StaticText, {136, 39, 49, 8}, "可写共同体名", kNoStyle, kIdWriteCommunity},
    {kIdWriteCommunity, Edit, {194, 35, 60, 14}, nullptr, kTab, kNoLabel},
    {kStaticId, GroupBox, {325, 256, 140, 52}, nullptr, kNoStyle, kNoLabel},
    {kStaticId, StaticText, {332, 266, 21, 8}, "主页:", kNoStyle, kIdHomePageLink},
    {kIdHomePageLink, LinkLabel, {353, 265, 106, 9}, kHomePageAddress, kNoStyle, kNoLabel},
    {kStaticId, StaticText, {332, 279, 21, 8}, "电邮:", kNoStyle, kIdEmailLink},
    {kIdEmailLink, LinkLabel, {353, 279, 69, 8}, kEmailAddress, kNoStyle, kNoLabel},
    {kIdWriteFlash, PushButton, {409, 19, 45, 14}, "写入FLASH", kTab | kFlat, kNoLabel},
    {kIdBrowserPanel, Browser, {7, 260, 312, 45}, nullptr, kTab, kNoLabel},
}};
// clang-format on

}  // namespace

const DialogTemplate kTarnwickDlgTemplate = {
    102, "ziTarnwick", 472, 315, "宋体", 9, kControls,
};

}  // namespace tarnwick
