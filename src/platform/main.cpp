#include "platform/harness.h"

int main(int argc, char** argv) { return PlatformMain(argc, argv); }
