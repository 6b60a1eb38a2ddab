// A process that does nothing: the floor of any command's time.
int main() { return 0; }
