// The bare start of a C++ program: what a batch run on the smallest diagram
// is compared with.
int main() { return 0; }
