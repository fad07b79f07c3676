// Links one layer's library in whole with the layers below it (see the
// top-level CMakeLists.txt); an upward call leaves a symbol undefined.
int main() { return 0; }
