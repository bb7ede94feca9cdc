// A program that carries the load configuration as linked, its directory
// entry not yet set: the input of pe_load_config_test.py.
int main() {
    return 0;
}
