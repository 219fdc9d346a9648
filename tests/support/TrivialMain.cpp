// A program that does nothing, for tests that look at its file.
int main() { return 0; }
