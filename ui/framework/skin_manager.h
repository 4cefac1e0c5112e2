// The window skin: a manager, owned by the application object, that applies a Qt style sheet file
// to every window of the process.
#pragma once

#include <QString>

namespace tarnwick {

// Bits of the apply options. A style sheet always reaches every widget, those created later
// included; the bits record how the program asked for the skin.
enum SkinApplyOption : unsigned {
    kSkinApplyMetrics = 1u << 0,
    kSkinApplyFrame = 1u << 1,
    kSkinApplyColors = 1u << 2,
};

class CXTPSkinManager final {
public:
    CXTPSkinManager() = default;
    CXTPSkinManager(const CXTPSkinManager&) = delete;
    CXTPSkinManager& operator=(const CXTPSkinManager&) = delete;

    unsigned GetApplyOptions() const { return m_applyOptions; }
    void SetApplyOptions(unsigned options) { m_applyOptions = options; }

    // Applies the style sheet in the file to the application. A missing or unreadable file leaves
    // the look as it was and returns false; nobody is told. Our skins carry no settings file: a
    // name given for one is not read.
    bool LoadSkin(const QString& skinPath, const QString* settingsFileName);

private:
    unsigned m_applyOptions = kSkinApplyFrame | kSkinApplyColors;
};

inline constexpr char kSkinFileName[] = "Vista.cjstyles";

// The folder "Styles" beside the program file, with a trailing '/'. The folder comes from the
// program's own path only: without a folder before the file name, it is "/Styles/" at the root,
// never one below the working directory.
QString SkinFolder(const QString& programFilePath);

// Start-up's skin: adds kSkinApplyMetrics to the apply options and loads kSkinFileName from the
// skin folder, ignoring the result.
void LoadProgramSkin(CXTPSkinManager& skins, const QString& skinFolder);

}  // namespace tarnwick
