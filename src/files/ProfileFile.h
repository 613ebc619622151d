#pragma once
// Reading and writing the world profile "local.ini".

#include "profile/WorldProfile.h"

#include <vector>

namespace storage {

class IniFile;

// Reads every key in the documented order; missing keys give the defaults, except MccpEnabled
// and Zone, which keep the values they had.
void ReadProfile(profile::WorldProfile& profile, const IniFile& ini);
// Writes the whole profile (every section but the skin choice and the lock list).
void WriteWholeProfile(const profile::WorldProfile& profile, IniFile& ini);
// Writes only the keys named (each list section named is written whole), in the order of the
// whole profile; every other key of the file stays as it is. False when the file could not be
// written.
bool WriteProfileKeys(const profile::WorldProfile& profile,
                      const std::vector<profile::ProfileKey>& keys, IniFile& ini);
// The part written on every settings write: the skin choice and the lock list.
void WriteSkinAndLocks(const profile::WorldProfile& profile, IniFile& ini);

} // namespace storage
