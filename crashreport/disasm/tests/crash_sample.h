#pragma once

// A small function that faults on purpose, with a call and a string literal before the fault.
extern "C" {
void SampleLog(const char* text);
int SampleCrash(int* target);
extern const int kSampleFaultLine;
}
