// make_large_ild output.ild bytes [invalid-last-block]: writes a large ILD file
// of repeated music, optionally with a last block that the decoder rejects.

#include <exception>
#include <iostream>
#include <string>

#include "ild_writer.hpp"
#include "large_ild.hpp"

int main(int argc, char* argv[]) {
    const bool invalid = argc == 4 && std::string(argv[3]) == "invalid-last-block";
    if (argc != 3 && !invalid) {
        std::cerr << "Usage: make_large_ild output.ild bytes [invalid-last-block]\n";
        return 2;
    }
    try {
        write_file(argv[1], large_ild(std::stoul(argv[2]), invalid));
    } catch (const std::exception& error) {
        std::cerr << "make_large_ild: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
