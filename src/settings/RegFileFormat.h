#pragma once

#include "settings/RegistryKey.h"

#include <QByteArray>
#include <QString>
#include <optional>

// The settings file is a registry export in REGEDIT4 syntax, UTF-8 encoded:
//
//   REGEDIT4
//
//   [HKEY_CURRENT_USER\Software\Orbelon\Mavrolin\alice]
//   "database"="/home/alice/fehler.mvd"
//   "configuration"=hex:8f,00,00,00,...
//   "options"=dword:00000002
//
// Strings are quoted with \\ and \" as the only escapes; a string that is not
// clean UTF-8 text with one terminating zero is written as hex(1) so its bytes
// survive unchanged. Expandable strings are hex(2), other types hex(<type>).
namespace settings::regfile {

inline constexpr char RootKeyName[] = "HKEY_CURRENT_USER";

// Writes the whole tree; root stands for HKEY_CURRENT_USER.
QByteArray Write(const RegKey& root);

// Reads a file written by Write (or by hand in the same syntax). Returns
// nothing and sets *error (English, for logs) when the text is not valid.
std::optional<RegKey> Parse(const QByteArray& bytes, QString* error = nullptr);

} // namespace settings::regfile
