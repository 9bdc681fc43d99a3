#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: velmora_resgen OUTPUT_FOLDER\n");
        return 2;
    }
    return 0;
}
