//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
//  Automatic generated C-code by the application:
//     Tarvel Editor v1.4r3
//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
// Methodology: Hierarchical Switch-case state. [v1.5r1]
//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
// Exported function: int Plant(int cmd);
//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++

//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
// Module header proposed by the user (Start).
// - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -
// Plant controller for the generator tests.
// Comment marks / * and * / are neutralised.
// - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -
// Module header proposed by the user (End).
//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++

//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
// Initialization proposed by the user (Start).
// - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -
  #include "fsm_test.h"
  // Shared test declarations.

// [Child:  Pump]
    // Pump: resumes where it stopped.
  
  // [Child:  Seal]
    

// [Child:  Valve]
  

// - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -
// Initialization proposed by the user (End).
//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++

//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
// Entry flags (Start).
// - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -
  static T_bit entryFsmFlg = 0U;
  static T_bit entryFsmFlg_2 = 0U;
// - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -
// Entry flags (End).
//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++

//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
// Automatic initialization (Start).
// - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -
 // States index.
  #define  i_IDLE  ((T_u8)0)
  #define  i_RUN   ((T_u8)1)
  #define  i_OFF   ((T_u8)2)

 // Index variable.
static T_u8 ind_Plant = i_IDLE;

#if defined(FSM_DEBUG)
    static T_u8 debug_transNumber = (T_u8)0;
    static const T_char* debug_stateNames[] = {
        "IDLE",
        "RUN",
        "OFF",
    };
#endif


// Macros & functions.
// Force the FSM to the initial state.
#if defined(FSM_DEBUG)
    #define Plant__Init() { ind_Plant = i_IDLE; entryFsmFlg = 0U; debug_transNumber = (T_u8)0U;}
#else
    #define Plant__Init() { ind_Plant = i_IDLE; entryFsmFlg = 0U; }
#endif

void Plant_Init(void)
{
    Plant__Init();
}

// This is not a history FSM.
#define _Plant_Init()  {Plant_Init(); /* Children: */ _Pump_Init(); _Valve_Init();}

// Confirm that the FSM has reached a final state.
#define Plant__End() (\
    (ind_Plant == i_OFF))

T_u8 Plant_End(void)
{
    return(Plant__End());
}

// Confirm that the FSM has reached the state:[IDLE].
#define Plant__IsIn_IDLE() (ind_Plant == i_IDLE)

T_u8 Plant_IsIn_IDLE(void)
{
    return(Plant__IsIn_IDLE());
}

// Confirm that the FSM has reached the state:[RUN].
#define Plant__IsIn_RUN() (ind_Plant == i_RUN)

T_u8 Plant_IsIn_RUN(void)
{
    return(Plant__IsIn_RUN());
}

// Force the FSM to the state:[IDLE].
#if defined(FSM_DEBUG)
    #define Plant__Goto_IDLE() { ind_Plant = i_IDLE; entryFsmFlg = 0U; debug_transNumber = (T_u8)0U; }
#else
    #define Plant__Goto_IDLE() { ind_Plant = i_IDLE; entryFsmFlg = 0U; }
#endif

void Plant_Goto_IDLE(void)
{
    Plant__Goto_IDLE();
}


 // Definition of Exit_functions.
  static void RUN_OnExit(void);


// [Child:  Pump]
   // States index.
    #define  i_1_SLOW  ((T_u8)0)
    #define  i_1_FAST  ((T_u8)1)
  
   // Index variable.
  static T_u8 ind_1_Pump = i_1_SLOW;
  
  #if defined(FSM_DEBUG)
      static T_u8 debug_transNumber_1 = (T_u8)0;
      static const T_char* debug_stateNames_1[] = {
          "SLOW",
          "FAST",
      };
  #endif
  
  
  // Macros & functions.
  // This is a history FSM.
  #define _Pump_Init()  {}
  
  
  // [Child:  Seal]
     // States index.
      #define  i_1_1_DRY  ((T_u8)0)
      #define  i_1_1_WET  ((T_u8)1)
    
     // Index variable.
    static T_u8 ind_1_1_Seal = i_1_1_DRY;
    
    #if defined(FSM_DEBUG)
        static T_u8 debug_transNumber_1_1 = (T_u8)0;
        static const T_char* debug_stateNames_1_1[] = {
            "DRY",
            "WET",
        };
    #endif
    
    
    // Macros & functions.
    // Force the FSM to the initial state.
    #if defined(FSM_DEBUG)
        #define Seal_Init() { ind_1_1_Seal = i_1_1_DRY; debug_transNumber_1_1 = (T_u8)0U;}
    #else
        #define Seal_Init() { ind_1_1_Seal = i_1_1_DRY; }
    #endif
    
    // This is not a history FSM.
    #define _Seal_Init()  {Seal_Init(); /* Children: */ }
    

// [Child:  Valve]
   // States index.
    #define  i_2_SHUT  ((T_u8)0)
    #define  i_2_OPEN  ((T_u8)1)
  
   // Index variable.
  static T_u8 ind_2_Valve = i_2_SHUT;
  
  #if defined(FSM_DEBUG)
      static T_u8 debug_transNumber_2 = (T_u8)0;
      static const T_char* debug_stateNames_2[] = {
          "SHUT",
          "OPEN",
      };
  #endif
  
  
  // Macros & functions.
  // Force the FSM to the initial state.
  #if defined(FSM_DEBUG)
      #define Valve_Init() { ind_2_Valve = i_2_SHUT; entryFsmFlg_2 = 0U; debug_transNumber_2 = (T_u8)0U;}
  #else
      #define Valve_Init() { ind_2_Valve = i_2_SHUT; entryFsmFlg_2 = 0U; }
  #endif
  
  // This is not a history FSM.
  #define _Valve_Init()  {Valve_Init(); /* Children: */ }
  
  // Confirm that the FSM has reached a final state.
  #define Valve_End() (\
      0)
  
  // Confirm that the FSM has reached the state:[OPEN].
  #define Valve_IsIn_OPEN() (ind_2_Valve == i_2_OPEN)
  
  // Force the FSM to the state:[OPEN].
  #if defined(FSM_DEBUG)
      #define Valve_Goto_OPEN() { ind_2_Valve = i_2_OPEN; entryFsmFlg_2 = 0U; debug_transNumber_2 = (T_u8)0U; }
  #else
      #define Valve_Goto_OPEN() { ind_2_Valve = i_2_OPEN; entryFsmFlg_2 = 0U; }
  #endif
  
// - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -
// Automatic initialization (End).
//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++

//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
// Local child functions  (Start).
// - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -
  static void Pump(void);
  static void Seal(void);
  static void Valve(void);
// - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -
// Local child functions  (End).
//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++

//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
// Debug customized macros.
//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
#if defined(FSM_DEBUG)
    #define FSM_STATE_NAME()   debug_stateNames[ind_Plant]
    #define FSM_TRANS_NUMBER() debug_transNumber
    #define FSM_NAME()         "Plant"
#else
    #define FSM_STATE_NAME()
    #define FSM_TRANS_NUMBER()
    #define FSM_NAME()
#endif
#undef Is_Next_State_Illegal
#define Is_Next_State_Illegal() (ind_Plant > i_OFF)

//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
// FSM dispatcher function to be called by the O.S.
//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
// Dispatcher of the plant: cmd is the operator's command.
//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
int Plant(int cmd)
{
    // Chain transition flag.
    T_bit fsm_chainTransition;
    T_u8 fsm_chainMaxLoops = (T_u8)255;

    // User actions to be executed before analyse the state.
    #if defined(FSM_DEBUG)
    debugName = FSM_STATE_NAME();
    #endif
    if(Is_Next_State_Illegal()){
        Plant_Init();
    }

    #if defined(FSM_DEBUG)
        debug_transNumber = (T_u8)0U;
    #endif
    // Chain transition loop.
    do{
        fsm_chainTransition = FALSE;
        // Next state analyser.
        switch(ind_Plant){
            case i_IDLE:
                // Entry check
                if(!((T_bit)entryFsmFlg)){
                    entryFsmFlg = (T_bit)1;
                    // Entry actions
                    trace("IDLE+");
                }
                // Next state selection.
                if(cmd == 1){	// [1].
                    // Exit actions.
                    trace("IDLE-");
                    // Pointing to the next state.
                    ind_Plant = i_RUN;
                    #if defined(FSM_DEBUG)
                        debug_transNumber = (T_u8)1;
                    #endif
                    // Reset entry flag
                    entryFsmFlg = 0U;
                    // Chain transition.
                    fsm_chainTransition = TRUE;
                }else if(cmd == 9){	// [2].
                    // Exit actions.
                    trace("IDLE-");
                    // Pointing to the next state.
                    ind_Plant = i_OFF;
                    #if defined(FSM_DEBUG)
                        debug_transNumber = (T_u8)2;
                    #endif
                    // Reset entry flag
                    entryFsmFlg = 0U;
                }
            break;
            case i_RUN:
                // Entry check
                if(!((T_bit)entryFsmFlg)){
                    entryFsmFlg = (T_bit)1;
                    // Entry actions
                    trace("RUN+");
                }
                // State actions (Moore).
                Pump();
                Valve();
                // Next state selection.
                if(cmd == 2){	// [1].
                    // Child Initialization.
                    _Pump_Init();
                    _Valve_Init();
                    // Exit actions.
                    RUN_OnExit();
                    // Pointing to the next state.
                    ind_Plant = i_IDLE;
                    #if defined(FSM_DEBUG)
                        debug_transNumber = (T_u8)1;
                    #endif
                    // Reset entry flag
                    entryFsmFlg = 0U;
                }else if(cmd == 3
                         || cmd == 4){	// [2].
                    // Transition actions (Meally).
                    trace("RUN~");
                    #if defined(FSM_DEBUG)
                        debug_transNumber = (T_u8)2;
                    #endif
                }else if(cmd == 5){	// [3].
                    // Child Initialization.
                    _Pump_Init();
                    _Valve_Init();
                    // Exit actions.
                    RUN_OnExit();
                    #if defined(FSM_DEBUG)
                        debug_transNumber = (T_u8)3;
                    #endif
                    // Reset entry flag
                    entryFsmFlg = 0U;
                }
            break;
            case i_OFF:
                // State actions (Moore).
                trace("OFF");
            break;
            default:
                // State index error trap (MISRA requiremment).
                Plant_Init();
            break;
        }
        fsm_chainMaxLoops--;
    }while(fsm_chainTransition && (fsm_chainMaxLoops > (T_u8)0));

    // User actions to be executed after analyse the state.
    return (int)Plant_IsIn_RUN();
}


 // Implementation of Exit_functions.
static void RUN_OnExit(void)
{
    trace("RUN-");
    runExits++;
    lastExit = 2;
}


// [Child:  Pump]
  
  //++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
  // Debug customized macros.
  //++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
  #if defined(FSM_DEBUG)
      #undef  FSM_STATE_NAME
      #undef  FSM_TRANS_NUMBER
      #undef  FSM_NAME
      #define FSM_STATE_NAME()   debug_stateNames_1[ind_1_Pump]
      #define FSM_TRANS_NUMBER() debug_transNumber_1
      #define FSM_NAME()         "Pump"
  #endif
  
  //++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
  // FSM dispatcher function to be called by the O.S.
  //++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
  static void Pump(void)
  {
      // User actions to be executed before analyse the state.
      #if defined(FSM_DEBUG)
      debugName = FSM_STATE_NAME();
      #endif
  
      #if defined(FSM_DEBUG)
          debug_transNumber_1 = (T_u8)0U;
      #endif
      // Next state analyser.
      switch(ind_1_Pump){
          case i_1_SLOW:
              // State actions (Moore).
              trace("slow");
              // Next state selection.
              {
                  // Pointing to the next state.
                  ind_1_Pump = i_1_FAST;
                  #if defined(FSM_DEBUG)
                      debug_transNumber_1 = (T_u8)1;
                  #endif
              }
          break;
          case i_1_FAST:
              // State actions (Moore).
              trace("fast");
              { // Else actions.
                  Seal();
              }
          break;
      }
  }
  
  
  // [Child:  Seal]
    
    //++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
    // Debug customized macros.
    //++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
    #if defined(FSM_DEBUG)
        #undef  FSM_STATE_NAME
        #undef  FSM_TRANS_NUMBER
        #undef  FSM_NAME
        #define FSM_STATE_NAME()   debug_stateNames_1_1[ind_1_1_Seal]
        #define FSM_TRANS_NUMBER() debug_transNumber_1_1
        #define FSM_NAME()         "Seal"
    #endif
    
    //++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
    // FSM dispatcher function to be called by the O.S.
    //++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
    static void Seal(void)
    {
        // User actions to be executed before analyse the state.
        #if defined(FSM_DEBUG)
        debugName = FSM_STATE_NAME();
        #endif
    
        #if defined(FSM_DEBUG)
            debug_transNumber_1_1 = (T_u8)0U;
        #endif
        // Next state analyser.
        switch(ind_1_1_Seal){
            case i_1_1_DRY:
                // State actions (Moore).
                trace("dry");
                // Next state selection.
                {
                    // Pointing to the next state.
                    ind_1_1_Seal = i_1_1_WET;
                    #if defined(FSM_DEBUG)
                        debug_transNumber_1_1 = (T_u8)1;
                    #endif
                }
            break;
            case i_1_1_WET:
                // State actions (Moore).
                trace("wet");
            break;
        }
    }
    

// [Child:  Valve]
  
  //++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
  // Debug customized macros.
  //++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
  #if defined(FSM_DEBUG)
      #undef  FSM_STATE_NAME
      #undef  FSM_TRANS_NUMBER
      #undef  FSM_NAME
      #define FSM_STATE_NAME()   debug_stateNames_2[ind_2_Valve]
      #define FSM_TRANS_NUMBER() debug_transNumber_2
      #define FSM_NAME()         "Valve"
  #endif
  
  //++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
  // FSM dispatcher function to be called by the O.S.
  //++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
  static void Valve(void)
  {
      // Chain transition flag.
      T_bit fsm_chainTransition_2;
  
      // User actions to be executed before analyse the state.
      #if defined(FSM_DEBUG)
      debugName = FSM_STATE_NAME();
      #endif
  
      #if defined(FSM_DEBUG)
          debug_transNumber_2 = (T_u8)0U;
      #endif
      // Chain transition loop.
      do{
          fsm_chainTransition_2 = FALSE;
          // Next state analyser.
          switch(ind_2_Valve){
              case i_2_SHUT:
                  // Entry check
                  if(!((T_bit)entryFsmFlg_2)){
                      entryFsmFlg_2 = (T_bit)1;
                      // Entry actions
                      trace("shut+");
                  }
                  // Next state selection.
                  {
                      // Pointing to the next state.
                      ind_2_Valve = i_2_OPEN;
                      #if defined(FSM_DEBUG)
                          debug_transNumber_2 = (T_u8)1;
                      #endif
                      // Reset entry flag
                      entryFsmFlg_2 = 0U;
                      // Chain transition.
                      fsm_chainTransition_2 = TRUE;
                  }
              break;
              case i_2_OPEN:
                  // State actions (Moore).
                  trace("open");
              break;
          }
      }while(fsm_chainTransition_2);
  }
  

//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
// Ending code proposed by the user (Start).
// - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -

const int plantVersion = 3;
//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
// Diagram comments (Start).
// - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -
/*

Plant overview:
IDLE, RUN (runs Pump and Valve), OFF. / * nested * /

*/
// - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -
// Diagram comments (End).
//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++


// [Child:  Pump]
  //++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
  // Diagram comments (Start).
  // - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -
  // - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -
  // Diagram comments (End).
  //++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
  
  
  // [Child:  Seal]
    //++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
    // Diagram comments (Start).
    // - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -
    // - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -
    // Diagram comments (End).
    //++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
    

// [Child:  Valve]
  //++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
  // Diagram comments (Start).
  // - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -
  // - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -
  // Diagram comments (End).
  //++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
  

// - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -
// Ending code proposed by the user (End).
//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
//  End of the automatic generated C-code.
//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
