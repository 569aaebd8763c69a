// Entry point of the batch program.
int main() { return 0; }
