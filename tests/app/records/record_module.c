/* A module that carries nothing but its resources: the version records the
   tests read. */
int kolt_test_record_module = 1;
