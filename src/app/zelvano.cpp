#include "app/main.h"

int main(int argc, char** argv) { return zelv::RunZelvano(argc, argv); }
