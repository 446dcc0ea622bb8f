if(TARGET quor_test_support)
    quor_add_bench(quor_fetch_bench fetch_run_bench.cpp LIBS quor_test_support)
endif()
