#pragma once
// What the converter library tells tests about itself, found by name in the loaded library.

// Signature of "ConverterEntryCallCount": how often "GetConverterAPI" has been called in this process.
using ConverterEntryCallCountFunction = int (*)();
