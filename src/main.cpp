#include "editor/main_loop.h"

int main() { terrafix::RunEditor(); }
