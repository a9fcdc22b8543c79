#pragma once
// The four stored values live under organisation "Veltrane", application
// "Quorvel": on Windows the registry key HKEY_CURRENT_USER\Software\Veltrane\Quorvel,
// elsewhere the INI file $XDG_CONFIG_HOME/Veltrane/Quorvel.conf. Each is a
// 32-bit integer at the top level. The same file's [Ports] group says which
// device each COM name stands for on systems without COM ports.
#include <string>

#include "app/SettingsRules.h"

namespace SettingsStore {

// What the store holds. A value that is missing or is not a 32-bit integer
// comes back empty, so its default applies.
orv::StoredSettings Read();
// Writes the four values; a store that cannot be written is left alone.
void Write(int baudIndex, int portIndex, int intervalIndex, int displayTypeSetting);
// The device path for a port name such as "COM8:".
std::string DevicePath(const std::string& portName);
// Maps a port name such as "COM8:" to `path` in the [Ports] group, or back
// to its default when `path` is empty. Written at once, so that the next
// CONNECT opens it. False when the store cannot be written.
bool WritePortPath(const std::string& portName, const std::string& path);

}  // namespace SettingsStore
