// Carries the shipped resources for the resource tests, and nothing else.
int main() { return 0; }
