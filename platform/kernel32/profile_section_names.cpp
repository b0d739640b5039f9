// Section-name checks for the other platform libraries, which open profile sections as registry keys.
#include "extensions/kernel32.h"
#include "private_profile_syntax.h"

bool IsStorableProfileSectionName(LPCSTR section) { return section && IsStorableSectionName(section); }
