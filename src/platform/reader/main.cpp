#include "platform/reader/ReaderMain.h"

int main(int argc, char** argv)
{
    return varnex::reader::RunReader(argc, argv);
}
