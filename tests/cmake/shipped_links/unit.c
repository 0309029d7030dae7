int kavron_unit(void) { return 0; }
