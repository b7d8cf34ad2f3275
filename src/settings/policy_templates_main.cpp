// Writes the Group Policy templates of the release: policy_templates <admx> <adml>.
#include <cstdio>

#include "settings/policy_rules.h"

static char text[64 * 1024];

static bool writeFile(const char* path)
{
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr)
        return false;
    size_t length = 0;
    while (text[length] != '\0')
        ++length;
    bool written = std::fwrite(text, 1, length, file) == length;
    return std::fclose(file) == 0 && written;
}

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    writePolicyAdmx(text, sizeof text);
    if (!writeFile(argv[1]))
        return 1;
    writePolicyAdml(text, sizeof text);
    return writeFile(argv[2]) ? 0 : 1;
}
