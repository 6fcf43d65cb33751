#pragma once
// The one password rule: before an encrypted entry is opened while no password is held
// and the user has not asked to stop being asked, the password dialog comes up and the
// password typed there becomes the book's default password.
#include <zip.h>

#include "book/entry_reader.h"

namespace tomelet {

void AskPasswordIfNeeded(zip_t* archive, zip_uint64_t entry, const EntryInfo& info);

}  // namespace tomelet
