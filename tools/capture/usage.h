#pragma once

// What --help and --version print.
const char* UsageText();
const char* VersionText();
