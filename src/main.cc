// SPDX-License-Identifier: MIT
#include "driver.h"

// Arguments are ignored: everything the tool needs comes from the dialogue
// and from the files in the current directory.
int main() { return hreftrack::runConverter(); }
