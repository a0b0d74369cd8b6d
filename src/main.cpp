#include "window/application.h"

int main(int argc, char** argv) { return gasecu::RunApplication(argc, argv); }
