#include <iostream>

#include "main/startup.h"

int main(int argc, char** argv) {
    return kd::runProgram(argc, argv, std::cout, std::cerr);
}
