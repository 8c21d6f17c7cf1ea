#pragma once

#include <QString>
#include <thread>

/// Where Debian's fonts-wine keeps its stand-ins for the Windows families,
/// drawn to the same widths; fontconfig does not look in that folder.
inline constexpr char WineFontFolder[] = "/usr/share/wine/fonts";

/// Makes the Windows families that the windows ask for by name ("Tahoma",
/// "MS Sans Serif") available from the font files in folder, each one that
/// fontconfig does not offer itself. The pixel layout of the windows was made
/// for these families' widths; a family the folder lacks (or no folder) stays
/// with the substitute fontconfig picks. Call it before the first window is
/// made.
void registerDesktopFonts(const QString &folder = QString::fromLatin1(WineFontFolder));

/// fontconfig reading its configuration and its font cache on a thread of
/// its own: the first font that Qt looks up would otherwise wait for that on
/// the GUI thread. Made before the application connects to the display,
/// which keeps the GUI thread waiting anyway, it is done by the time the
/// fonts are registered.
class FontconfigPreload
{
public:
    FontconfigPreload();
    ~FontconfigPreload();
    FontconfigPreload(const FontconfigPreload &) = delete;
    FontconfigPreload &operator=(const FontconfigPreload &) = delete;

    /// Waits until fontconfig is ready.
    void wait();

private:
    std::thread m_reading;
};
