#include <iostream>

#include "cli.hpp"

int main(int argc, char** argv) { return orva::cli::run(argc, argv, std::cout, std::cerr); }
