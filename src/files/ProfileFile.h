#pragma once
// Reading and writing the world profile "local.ini".

#include "profile/WorldProfile.h"

namespace storage {

class IniFile;

// Reads every key in the documented order; missing keys give the defaults, except MccpEnabled
// and Zone, which keep the values they had.
void ReadProfile(profile::WorldProfile& profile, const IniFile& ini);
// Writes the whole profile (every section but the skin choice and the lock list).
void WriteWholeProfile(const profile::WorldProfile& profile, IniFile& ini);
// The part written on every settings write: the skin choice and the lock list.
void WriteSkinAndLocks(const profile::WorldProfile& profile, IniFile& ini);

} // namespace storage
