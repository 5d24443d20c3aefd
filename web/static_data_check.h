#pragma once

// Throws when the build placed static data where the platform's resource
// numbers live, which would make the program's window names into numbers.
void CheckStaticDataAddresses();
